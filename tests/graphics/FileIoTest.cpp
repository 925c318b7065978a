#include "graphics/FileIo.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<int> gUmaskCalls{0};

}  // namespace

// Counts every change of the file-creation mask made by code linked into this binary.
extern "C" mode_t umask(mode_t mask) noexcept {
    ++gUmaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace vs {
namespace {

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Writers on several threads at once (the thumbnail workers writing album pages) must never
// touch the process-wide file-creation mask, not even for a moment: a folder made meanwhile
// on another thread, or a file they write, would get the wrong mode.
TEST(AtomicFileWriter, ConcurrentWritersNeverTouchTheUmask) {
    test::TempDir d;
    const mode_t mask = CurrentUmask();
    const int callsBefore = gUmaskCalls.load();
    std::atomic<int> wrongMode{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 2; ++t)
        writers.emplace_back([&, t] {
            const std::uint8_t byte = 1;
            for (int i = 0; i < 100; ++i) {
                // A new file each time: its mode comes from the mask.
                const std::string file = d.file(std::to_string(t) + "-" + std::to_string(i));
                WriteFileAtomically(file, {&byte, 1}, false);
                struct stat st {};
                if (::stat(file.c_str(), &st) != 0 || (st.st_mode & 0777) != (0666 & ~mask))
                    ++wrongMode;
            }
        });
    for (std::thread& t : writers) t.join();
    EXPECT_EQ(gUmaskCalls.load(), callsBefore) << "the mask was changed while writing";
    EXPECT_EQ(wrongMode.load(), 0) << "files whose mode ignored the mask";
    EXPECT_EQ(CurrentUmask(), mask);
}

}  // namespace
}  // namespace vs
