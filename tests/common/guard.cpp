#include "common/guard.hpp"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>


#include <cstdlib>

namespace qpxtest {

GuardedBuffer::GuardedBuffer(std::size_t bytes, Place place) : bytes_(bytes) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t inner = (bytes + page - 1) / page * page;
    mapped_ = inner + 2 * page;
    void* p = mmap(nullptr, mapped_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) std::abort();
    base_ = static_cast<std::uint8_t*>(p);
    if (inner && mprotect(base_ + page, inner, PROT_READ | PROT_WRITE) != 0) std::abort();
    data_ = place == Place::Begin ? base_ + page : base_ + page + (inner - bytes);
}

GuardedBuffer& GuardedBuffer::operator=(GuardedBuffer&& o) noexcept {
    if (this != &o) {
        if (base_) munmap(base_, mapped_);
        base_ = o.base_;
        mapped_ = o.mapped_;
        data_ = o.data_;
        bytes_ = o.bytes_;
        o.base_ = o.data_ = nullptr;
        o.mapped_ = o.bytes_ = 0;
    }
    return *this;
}

GuardedBuffer::~GuardedBuffer() {
    if (base_) munmap(base_, mapped_);
}

qpxStatus in_child(qpxStatus (*call)(const void*), const void* arg, unsigned seconds) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    const pid_t pid = fork();
    if (pid < 0) std::abort();
    if (pid == 0) {
        close(fds[0]);
        alarm(seconds);
        const qpxStatus st = call(arg);
        const ssize_t n = write(fds[1], &st, sizeof st);
        _exit(n == ssize_t(sizeof st) ? 0 : 1);
    }
    close(fds[1]);
    qpxStatus st = kChildDied;
    if (read(fds[0], &st, sizeof st) != ssize_t(sizeof st)) st = kChildDied;
    close(fds[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) st = kChildDied;
    return st;
}

}  // namespace qpxtest
