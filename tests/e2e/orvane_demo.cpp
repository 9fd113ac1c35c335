// Shows Orvane at work without a person at the screen: types a bitmap into
// the real program, presses "位图", saves a screenshot and presses "退出".
//   orvane_demo.exe [hex text] [screenshot.bmp]
#include "orvane_driver.h"

int main(int argc, char** argv)
{
    e2e::OrvaneProcess orvane;
    if (!orvane.Start())
        return std::fprintf(stderr, "orvane_demo: Orvane.exe did not start\n"), 1;
    ui::Click(ui::CentreOf(orvane.Item(1000)));
    ui::Type(argc > 1 ? argv[1] : "F2 3A 44 81 28 E0 80 00 00 00 00 00 04 00 00 00");
    const std::string typed = e2e::WindowText(orvane.Item(1000));
    ui::Click(ui::CentreOf(orvane.Item(1002)));
    ui::MoveTo(POINT{900, 700}); // the pointer out of the picture
    ui::PumpUntil([&] { return e2e::WindowText(orvane.Item(1000)) != typed; });
    ui::Pump(500); // the cells' repaints
    const bool saved = e2e::SaveScreenshot(orvane.MainWindow(), argc > 2 ? argv[2] : "orvane.bmp");
    std::printf("%s\n", e2e::WindowText(orvane.Item(1000)).c_str());

    ui::Click(ui::CentreOf(orvane.Item(1004)));
    DWORD code = 1;
    if (!orvane.WaitForExit(&code))
        return std::fprintf(stderr, "orvane_demo: the program did not end after \"退出\"\n"), 1;
    if (code != 0 || !saved)
        return std::fprintf(stderr, "orvane_demo: exit code %lu, screenshot %s\n", code, saved ? "saved" : "not saved"), 1;
    return 0;
}
