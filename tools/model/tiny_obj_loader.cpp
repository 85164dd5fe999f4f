// The OBJ loader library is a single header; its implementation is compiled here once.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
