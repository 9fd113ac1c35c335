#pragma once

// What every GUI test does under Wine: run the message loop until a state is
// reached, give real input, read pixels. Every wait ends as soon as its state
// is reached, or at a generous deadline: load slows the tests, never fails them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ui
{

constexpr DWORD kDeadline = 30000;

// Runs this thread's messages, pre-translated as in the program's loops,
// until `done` holds; false if it did not by the deadline.
bool PumpUntil(const std::function<bool()>& done, DWORD deadline = kDeadline);
// Lets posted messages and repaints run for a while; decides nothing.
void Pump(DWORD ms);

// The messages the loop has run: a mark, and whether one came since (to a
// window, at a pointer position, if given).
std::size_t Mark();
bool Arrived(std::size_t since, UINT message, HWND window = nullptr, POINT at = {-1, -1});
// Does something, then runs the loop until the message it causes arrives.
bool Await(const std::function<void()>& cause, UINT message, HWND window = nullptr);

// Moves the pointer to a screen point in small steps (Wine can lose long
// jumps), and waits until it is there and a window of this thread under it
// has seen the move.
bool MoveTo(POINT to);
POINT CentreOf(HWND window);
void Button(bool down); // the left mouse button
void Click(POINT at);
void Key(WORD vk, bool down);
void Tap(WORD vk, WORD modifier = 0);
void Type(const std::string& text); // digits, letters and spaces

// The pixels of a rectangle, row by row: of a window's client area through
// its own DC (this process's windows), or of the screen (no window).
std::vector<COLORREF> Pixels(HWND window, const RECT& area);
// Which of the link label's colours (link, hover, visited) its text over the
// button face shows in these pixels, by at least five, separated by spaces.
std::string LinkColours(const std::vector<COLORREF>& pixels);

} // namespace ui
