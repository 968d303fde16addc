// vorlix.exe: the desktop program. Creates the main window over its logic
// and runs the message loop until the window closes.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/Unit_VX_Main.h"
#include "inventory/pacing.h"
#include "ui/win32/main_window.h"
#include "ui/win32/ui_thread.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    auto dispatcher = std::make_shared<vorlix::ui::WindowDispatcher>();
    vorlix::ui::PoolTasks tasks(dispatcher);
    vorlix::ui::MainWindow window;
    window.create();
    vorlix::TForm_Main logic(window, tasks, dispatcher, std::make_shared<vorlix::RealPacing>());
    window.attach(logic);
    logic.FormCreate();
    window.show_centred();
    logic.FormShow();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    dispatcher->close();
    // Workers still running own what they use and find the window gone; the
    // process ends here without waiting for them or running static destructors
    // under their feet.
    ExitProcess(static_cast<UINT>(message.wParam));
}
