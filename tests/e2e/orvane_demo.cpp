// Shows Orvane at work without a person at the screen: types a bitmap into
// the real program, presses "位图", saves a screenshot and presses "退出".
//   orvane_demo.exe [hex text] [screenshot.bmp]
#include "orvane_driver.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const std::string text = argc > 1 ? argv[1] : "F2 3A 44 81 28 E0 80 00 00 00 00 00 04 00 00 00";
    const std::string screenshot = argc > 2 ? argv[2] : "orvane.bmp";

    e2e::OrvaneProcess orvane;
    if (!orvane.Start(e2e::OrvanePath()))
    {
        std::fprintf(stderr, "orvane_demo: Orvane.exe did not start\n");
        return 1;
    }
    e2e::ClickAt(e2e::CenterOf(orvane.Item(1000)));
    e2e::Type(text);
    e2e::ClickAt(e2e::CenterOf(orvane.Item(1002)));
    e2e::MoveTo(POINT{900, 700}); // the pointer out of the picture
    e2e::Pump(500);

    const bool saved = e2e::Capture(e2e::ScreenRect(orvane.MainWindow())).SaveBmp(screenshot);
    std::printf("%s\n", e2e::WindowText(orvane.Item(1000)).c_str());

    e2e::ClickAt(e2e::CenterOf(orvane.Item(1004)));
    DWORD code = 1;
    if (!orvane.WaitForExit(15000, &code))
    {
        std::fprintf(stderr, "orvane_demo: the program did not end within 15 s of \"退出\"\n");
        return 1;
    }
    if (code != 0 || !saved)
    {
        std::fprintf(stderr, "orvane_demo: exit code %lu, screenshot %s\n", code, saved ? "saved" : "not saved");
        return 1;
    }
    return 0;
}
