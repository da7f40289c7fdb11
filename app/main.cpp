// Process entry of the program.
#include "platform/os_app.h"
#include "lib/window/quinda_state.h"

int main(int argc, char** argv) {
    os_app_start(argc, argv);
    quinda_state_defaults();
    return 0;
}
