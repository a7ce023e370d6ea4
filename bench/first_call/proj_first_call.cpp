// PROJ's side of zr_first_call: the first proj_create of "EPSG:CODE" (or of
// the text in FILE) in a fresh process, with its default context, timed the
// same way.
#include <proj.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s epsg CODE | wkt FILE\n", argv[0]);
        return 2;
    }
    std::string text = std::string("EPSG:") + argv[2];
    if (std::strcmp(argv[1], "wkt") == 0) {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str();
    }
    const auto start = std::chrono::steady_clock::now();
    PJ* crs = proj_create(PJ_DEFAULT_CTX, text.c_str());
    const auto end = std::chrono::steady_clock::now();
    std::printf("%.1f\n", std::chrono::duration<double, std::micro>(end - start).count());
    const int ok = crs != nullptr;
    proj_destroy(crs);
    return ok ? 0 : 1;
}
