#include "support/run_program.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace testsupport {

ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                      double timeout_s, const std::string& argv0) {
    ProgramRun run;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return run;

    std::vector<std::string> all;
    all.push_back(argv0.empty() ? exe : argv0);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open_fds = 2;
    char buf[65536];
    while (open_fds > 0) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeout_s) {
            kill(pid, SIGKILL);
            run.timed_out = true;
            break;
        }
        const int ready = poll(fds, 2, 200);
        if (ready <= 0) continue;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[k].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[k]->append(buf, static_cast<size_t>(n));
            } else {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open_fds;
            }
        }
    }
    for (auto& f : fds)
        if (f.fd >= 0) close(f.fd);

    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(wstatus)) {
        run.exited = true;
        run.status = WEXITSTATUS(wstatus);
    } else if (WIFSIGNALED(wstatus)) {
        run.signaled = true;
        run.signal = WTERMSIG(wstatus);
    }
    return run;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return lines;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

ProgramRun Shell(const std::string& command, double timeout_s) {
    return RunProgram("/bin/sh", {"-c", command}, timeout_s);
}

ProgramRun RunWithMemoryLimit(const std::string& exe, const std::vector<std::string>& args,
                              long kib) {
    std::string command = "ulimit -v " + std::to_string(kib) + "; exec " + Quote(exe);
    for (const std::string& a : args) command += " " + Quote(a);
    return Shell(command);
}

long SmallestStartingLimit(const std::string& exe) {
    for (long kib = 2048; kib < 262144; kib += 128) {
        const ProgramRun r = RunWithMemoryLimit(exe, {"-h"}, kib);
        if (r.exited && r.status == 0) return kib;
    }
    return -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.insert(n);
        }
        closedir(d);
    }
    return names;
}

std::string MakeTempDir(const std::string& name) {
    std::string base = testing::TempDir();
    if (base.empty() || base.back() != '/') base += '/';
    std::string pattern = base + name + ".XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

std::string ToolDir(const std::string& dir, const std::vector<std::string>& tools) {
    mkdir(dir.c_str(), 0755);
    for (const std::string& tool : tools) {
        const ProgramRun where = Shell("command -v " + tool);
        if (!where.exited || where.status != 0) continue;
        std::string path = where.out;
        while (!path.empty() && path.back() == '\n') path.pop_back();
        symlink(path.c_str(), (dir + "/" + tool).c_str());
    }
    return dir;
}

}  // namespace testsupport
