// LDSCE: the loader host. It loads the component named by its whole command
// line tail, announces that with its handshake object and idles until the
// lister that started it has listed its modules and kills it. A component
// that cannot be loaded ends it at once with code 0 and no handshake.

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "listers/common/Handshake.h"
#include "listers/host/ComponentLoader.h"

namespace {

// The component path is everything after the program name, so that a path
// with spaces arrives whole even when typed unquoted.
std::string commandLineTail(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    return tail;
}

void createHandshake(const std::string& name) {
    int fd = ::shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0400);
    if (fd < 0) return;
    if (::ftruncate(fd, pcn::listers::kHandshakeSize) != 0) std::perror("LDSCE: handshake");
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    // A host whose lister went away must not idle forever.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);

    const std::string component = commandLineTail(argc, argv);
    if (component.empty()) return 0;
    const std::string handshake = pcn::listers::handshakeName(::getpid());
    ::shm_unlink(handshake.c_str());  // left behind by an earlier process with this id

    static pcn::listers::ComponentLoader loader;
    if (!loader.load(component)) {
        std::fprintf(stderr, "LDSCE: %s\n", loader.error().c_str());
        return 0;
    }
    createHandshake(handshake);
    for (;;) ::pause();
}
