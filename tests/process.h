// Runs a program as a child process for end-to-end tests: its arguments (argument 0
// included), the bytes of its standard input, its working directory; collects its standard
// output, standard error and exit status. TInteractiveProcess talks to a child that keeps
// running: a line in, its answer out, and so on.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct TProcessResult {
    std::string Stdout;
    std::string Stderr;
    int Status = -1;  // the exit status, or 128 + the signal that ended the process
};

struct TProcessRequest {
    std::string Path = {};               // the executable
    std::vector<std::string> Argv = {};  // argument 0 first
    std::string Stdin = {};              // written, then closed
    std::string WorkDir = {};            // empty: the current one
    std::string StdinFile = {};   // standard input is this file when not empty (Stdin unused)
    std::string StdoutFile = {};  // standard output is appended to this file when not empty
};

// A started child: its id and the parent's ends of its three standard streams.
struct TStartedProcess {
    pid_t Pid = -1;
    int In = -1;
    int Out = -1;
    int Err = -1;
};

// Raises std::runtime_error when the process cannot be started.
inline TStartedProcess StartProcess(const TProcessRequest& request) {
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<char*> argv;
    for (const std::string& arg : request.Argv) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        int stdinFd = in[0];
        if (!request.StdinFile.empty()) {
            stdinFd = open(request.StdinFile.c_str(), O_RDONLY);
        }
        int stdoutFd = out[1];
        if (!request.StdoutFile.empty()) {
            // As the shell's >> opens it.
            stdoutFd = open(request.StdoutFile.c_str(), O_WRONLY | O_APPEND);
        }
        if (stdinFd < 0 || stdoutFd < 0 || dup2(stdinFd, 0) < 0 || dup2(stdoutFd, 1) < 0 ||
            dup2(err[1], 2) < 0 ||
            (!request.WorkDir.empty() && chdir(request.WorkDir.c_str()) != 0)) {
            _exit(127);
        }
        // As a shell starts it: the parent ignores SIGPIPE (below), which a child would inherit.
        signal(SIGPIPE, SIG_DFL);
        execv(request.Path.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // A child that exits without reading its input must not end the test with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    return {pid, in[1], out[0], err[0]};
}

// The exit status of a child that has ended or is ending.
inline int WaitForExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Raises std::runtime_error when the process cannot be started or runs for more than a minute.
inline TProcessResult RunProcess(const TProcessRequest& request) {
    const TStartedProcess child = StartProcess(request);
    const pid_t pid = child.Pid;
    TProcessResult result;
    size_t written = 0;
    int inFd = child.In;
    if (request.Stdin.empty()) {
        close(inFd);
        inFd = -1;
    }
    int outFd = child.Out;
    int errFd = child.Err;
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3] = {{inFd, POLLOUT, 0}, {outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        const int ready = poll(fds, 3, 60000);
        if (ready == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            throw std::runtime_error("the process ran for more than a minute");
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("poll failed");
        }
        if (inFd >= 0 && fds[0].revents) {
            const ssize_t n =
                write(inFd, request.Stdin.data() + written, request.Stdin.size() - written);
            if (n > 0) {
                written += static_cast<size_t>(n);
            }
            if (n < 0 || written == request.Stdin.size()) {
                close(inFd);
                inFd = -1;
            }
        }
        int* fdsToRead[2] = {&outFd, &errFd};
        std::string* sinks[2] = {&result.Stdout, &result.Stderr};
        for (int i = 0; i < 2; ++i) {
            if (*fdsToRead[i] >= 0 && fds[i + 1].revents) {
                char buffer[4096];
                const ssize_t n = read(*fdsToRead[i], buffer, sizeof(buffer));
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<size_t>(n));
                } else if (n == 0 || errno != EINTR) {
                    close(*fdsToRead[i]);
                    *fdsToRead[i] = -1;
                }
            }
        }
    }
    if (inFd >= 0) {
        close(inFd);
    }
    result.Status = WaitForExit(pid);
    return result;
}

// A child that a test talks to: it writes to the child's standard input piece by piece and
// reads its standard output as it comes. The request's Stdin is not used. Every wait is bounded
// by a minute, which only guards against a hang. The destructor kills a child still running.
class TInteractiveProcess {
public:
    explicit TInteractiveProcess(const TProcessRequest& request) : Child_(StartProcess(request)) {}
    ~TInteractiveProcess() {
        if (Child_.Pid > 0) {
            kill(Child_.Pid, SIGKILL);
            WaitForExit(Child_.Pid);
        }
        for (int fd : {Child_.In, Child_.Out, Child_.Err}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    TInteractiveProcess(const TInteractiveProcess&) = delete;
    TInteractiveProcess& operator=(const TInteractiveProcess&) = delete;

    void Write(const std::string& bytes) {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n = write(Child_.In, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno != EINTR) {
                throw std::runtime_error("write to the process failed");
            }
            done += n > 0 ? static_cast<size_t>(n) : 0;
        }
    }

    // Standard output until it holds at least `bytes` bytes in all (less when it ends first).
    const std::string& ReadOutput(size_t bytes) {
        while (Output_.size() < bytes && Child_.Out >= 0) {
            pollfd fd = {Child_.Out, POLLIN, 0};
            const int ready = poll(&fd, 1, 60000);
            if (ready == 0) {
                throw std::runtime_error("no output for a minute");
            }
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw std::runtime_error("poll failed");
            }
            char buffer[4096];
            const ssize_t n = read(Child_.Out, buffer, sizeof(buffer));
            if (n > 0) {
                Output_.append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(Child_.Out);
                Child_.Out = -1;
            }
        }
        return Output_;
    }

    // Closes the child's input, reads everything it still writes and waits for its end.
    TProcessResult Finish() {
        close(Child_.In);
        Child_.In = -1;
        TProcessResult result;
        result.Stdout = ReadOutput(SIZE_MAX);
        for (char buffer[4096];;) {
            const ssize_t n = read(Child_.Err, buffer, sizeof(buffer));
            if (n > 0) {
                result.Stderr.append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                break;
            }
        }
        result.Status = WaitForExit(Child_.Pid);
        Child_.Pid = -1;
        return result;
    }

private:
    TStartedProcess Child_;
    std::string Output_;
};
