// The progress line of long runs: on standard error, only when it is a
// terminal, rewritten in place and wiped at the end, so that a pipe or a file
// never receives it.
#include "tools/zrprj/zrprj_p.h"

#include <chrono>
#include <string>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

// A run shorter than this shows nothing: the line would only flicker.
constexpr std::chrono::milliseconds kQuietStart(1000);
// Nor before this many points, however slow they come (a slow pipe).
constexpr unsigned long long kQuietPoints = 1000000;
// Redrawn at most this often.
constexpr std::chrono::milliseconds kRedraw(200);
// The clock is read once per this many points: cheap beside a projection.
constexpr unsigned long long kClockStride = 4096;

struct Progress {
    bool on = false;
    const char* command = "zrprj";
    unsigned long long points = 0;
    Clock::time_point start, drawn;
    std::size_t shown = 0; // characters now on the line; 0 when nothing is
};
Progress g_progress;
} // namespace

void ZrCliProgressStart(const char* command) {
    g_progress = Progress();
    g_progress.on = isatty(STDERR_FILENO) == 1;
    g_progress.command = command;
    g_progress.start = g_progress.drawn = Clock::now();
}

void ZrCliProgressTick() {
    Progress& p = g_progress;
    if (!p.on || ++p.points % kClockStride != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - p.start < kQuietStart && p.points < kQuietPoints) return;
    if (p.shown != 0 && now - p.drawn < kRedraw) return;
    p.drawn = now;
    const double seconds = std::chrono::duration<double>(now - p.start).count();
    char line[160];
    const int n = std::snprintf(line, sizeof line, "\r%s: %llu points, %.0f s", p.command, p.points, seconds);
    if (n <= 1) return;
    std::string text(line, static_cast<std::size_t>(n));
    // A shorter line than the last leaves no tail of it.
    const std::size_t length = static_cast<std::size_t>(n) - 1;
    if (length < p.shown) text.append(p.shown - length, ' ');
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    p.shown = length > p.shown ? length : p.shown;
}

void ZrCliProgressClear() {
    Progress& p = g_progress;
    if (p.shown == 0) return;
    const std::string blank = "\r" + std::string(p.shown, ' ') + "\r";
    std::fwrite(blank.data(), 1, blank.size(), stderr);
    std::fflush(stderr);
    p.shown = 0;
}

void ZrCliProgressEnd() {
    ZrCliProgressClear();
    g_progress.on = false;
}
