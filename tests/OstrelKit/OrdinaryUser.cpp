#include "OrdinaryUser.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace dormio::test {

void asOrdinaryUser(const std::function<void()>& work) {
    // Capabilities belong to a thread, so the rest of the test keeps its own.
    std::thread thread([&work] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        ::syscall(SYS_capget, &header, data);
        for (unsigned capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            data[capability / 32].effective &= ~(1u << (capability % 32));
        ::syscall(SYS_capset, &header, data);
        work();
    });
    thread.join();
}

} // namespace dormio::test
