#include "platform/platform.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
    platform::prepareProcess(argc, argv);
    return runLauncher(argc > 0 && argv[0] != nullptr ? argv[0] : "");
}
