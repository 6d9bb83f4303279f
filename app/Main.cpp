// The gradix tool: mesh files to levels of detail, pictures and reports through the Gradix plug-in.
#include "Cli.h"

#include "io/SignalCleanup.h"

int main(int argc, char** argv) {
    gxhost::installSignalCleanup();
    return gradix::Cli().run(argc, argv);
}
