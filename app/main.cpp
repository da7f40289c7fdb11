// Process entry of the program: keeps the arguments and runs the main
// program through the library's entry routine.
#include <cstdio>

#include "lib/window/startup.h"
#include "platform/os_app.h"

namespace {

// Stands in for the application's main program until it is written: the
// library is initialised and nothing else happens yet.
void MAIN__() {
    winitialise(" ");
    std::fprintf(stderr, "zeltramo: the library starts; the program's own main program is not built yet\n");
}

}  // namespace

int main(int argc, char** argv) {
    os_app_start(argc, argv);
    return WinMain(MAIN__);
}
