#pragma once
// The command-line tool run as a separate process on prepared input, in a
// scratch folder of its own: the fixture the tool's tests share.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

const std::string kTool = ZRPRJ_BINARY_DIR "/tools/zrprj";

struct ToolRun {
    int exit = -1;
    std::string out, err;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream s(text);
    std::string line;
    while (std::getline(s, line))
        lines.push_back(line);
    return lines;
}

class ToolFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // A build without the tools (ZRPRJ_BUILD_TOOLS=OFF) has nothing to run.
        if (access(kTool.c_str(), X_OK) != 0) GTEST_SKIP() << kTool << " is not built";
        char pattern[] = "/tmp/zrprj_tool_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        if (!m_dir.empty()) std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream out(Path(name), std::ios::binary);
        out << text;
    }

    // Any shell command line, with the given standard input.
    ToolRun Program(const std::string& commandLine, const std::string& input = std::string()) const {
        Write("stdin", input);
        const std::string cmd =
            commandLine + " < '" + Path("stdin") + "' > '" + Path("stdout") + "' 2> '" + Path("stderr") + "'";
        const int status = std::system(cmd.c_str());
        ToolRun run;
        run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Slurp(Path("stdout"));
        run.err = Slurp(Path("stderr"));
        return run;
    }

    // The tool with the arguments (already shell-quoted where needed).
    ToolRun Tool(const std::string& args, const std::string& input = std::string()) const {
        return Program("'" + kTool + "' " + args, input);
    }

    std::string m_dir;
};
