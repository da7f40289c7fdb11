// Process entry of the program: keeps the arguments and runs the main
// program through the library's entry routine.
#include "app/mainprog.h"
#include "lib/window/startup.h"
#include "platform/os_app.h"

int main(int argc, char** argv) {
    os_app_start(argc, argv);
    return WinMain(zeltramo_main);
}
