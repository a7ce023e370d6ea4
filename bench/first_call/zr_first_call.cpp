// The first EPSG set-up (or WKT import) in a fresh process, timed from just
// before the call to just after it: what a command-line run or a host's first
// request pays, file reads included. first_call.sh runs it beside the PROJ
// program of the same job, each many times in new processes.
//
//   zr_first_call epsg 2154      ZrCoordSysFromEpsg(2154)
//   zr_first_call wkt FILE       ZrImportCoordSys of the text in FILE
#include <ZrPrj50/ZrPrj50.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

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
    CString text;
    if (std::strcmp(argv[1], "wkt") == 0) {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str().c_str();
    }
    const long code = std::atol(argv[2]);
    CZrPJCoordSys cs;
    const double cpuStart = CpuMicroseconds();
    const auto start = std::chrono::steady_clock::now();
    const int ok = text.IsEmpty() ? ZrCoordSysFromEpsg(code, cs) : ZrImportCoordSys(text, cs);
    const auto end = std::chrono::steady_clock::now();
    const double cpuEnd = CpuMicroseconds();
    std::printf("%.1f %.1f\n", std::chrono::duration<double, std::micro>(end - start).count(),
                cpuEnd - cpuStart);
    return ok ? 0 : 1;
}
