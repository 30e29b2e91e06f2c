// Another program holding a lease on a file, as Samba's kernel oplocks and NFS delegations
// do, for lease_test: it takes a write lease and writes 'r' to standard output; once the
// system asks it to let go (another program opened the file), it holds on for the time
// given, as a client writing back its cached changes would, and then lets go.
// Usage: hold_lease FILE MILLISECONDS

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    // The break is told by SIGIO, which would end the program: it is waited for instead.
    sigset_t breaking;
    sigemptyset(&breaking);
    sigaddset(&breaking, SIGIO);
    sigprocmask(SIG_BLOCK, &breaking, nullptr);
    const int fd = ::open(argv[1], O_RDWR | O_CLOEXEC);
    if (fd < 0 || ::fcntl(fd, F_SETLEASE, F_WRLCK) != 0 || ::write(STDOUT_FILENO, "r", 1) != 1)
        return 1;
    int signal = 0;
    sigwait(&breaking, &signal);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argv[2])));
    return ::fcntl(fd, F_SETLEASE, F_UNLCK) == 0 ? 0 : 1;
}
