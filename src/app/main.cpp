// Brennix: the desktop program. Numbers are read and written with the C
// locale's decimal point whatever the user's locale says.
#include <clocale>
#include <string>
#include <vector>

#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "platform/fltk/FltkBackend.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    brennix::fltk::FltkBackend backend;
    backend.Install();
    std::setlocale(LC_NUMERIC, "C");
    RegisterProgramDialogs();
    CKorbelApp app;
    return app.Run(std::vector<std::string>(argv + 1, argv + argc));
}
