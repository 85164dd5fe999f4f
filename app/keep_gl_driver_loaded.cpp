// In sanitizer builds only. LeakSanitizer looks for leaks at exit, after the OpenGL
// library has unloaded Mesa's driver; what the driver keeps until then has no library
// name any more, and no suppression of other people's libraries can match it. Loaded
// here before anything else and never unloaded, the driver keeps its name, and a run by
// hand reports what a run in the tests reports: the project's own leaks, and no others.
#include <dlfcn.h>

namespace {

const bool kDriverKept = dlopen(QUADRELLE_GL_DRIVER, RTLD_NOW | RTLD_NODELETE) != nullptr;

}  // namespace
