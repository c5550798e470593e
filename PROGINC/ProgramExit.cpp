#include "PROGINC/ProgramExit.h"

#include <cstdlib>
#include <iostream>

namespace prgexit {
namespace {
Handler handler = nullptr;
}

Handler SetHandler(Handler h) {
    Handler previous = handler;
    handler = h;
    return previous;
}

Handler GetHandler() { return handler; }

}  // namespace prgexit

void ProgramExit(std::ostream& out, const std::string& report, int status) {
    out << report;
    out.flush();
    std::cout.flush();
    std::cerr.flush();
    if (prgexit::Handler h = prgexit::GetHandler()) h(status);
    std::exit(status);
}
