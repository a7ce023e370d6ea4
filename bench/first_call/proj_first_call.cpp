// PROJ's side of zr_first_call: the first proj_create of "EPSG:CODE" (or of
// the text in FILE) in a fresh process, with its default context, timed the
// same way.
#include <proj.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

// The process's CPU time (user and system, page faults and reads included):
// on a loaded machine the wall time also counts the waits for a core.
static double CpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

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
    const double cpuStart = CpuMicroseconds();
    const auto start = std::chrono::steady_clock::now();
    PJ* crs = proj_create(PJ_DEFAULT_CTX, text.c_str());
    const auto end = std::chrono::steady_clock::now();
    const double cpuEnd = CpuMicroseconds();
    std::printf("%.1f %.1f\n", std::chrono::duration<double, std::micro>(end - start).count(),
                cpuEnd - cpuStart);
    const int ok = crs != nullptr;
    proj_destroy(crs);
    return ok ? 0 : 1;
}
