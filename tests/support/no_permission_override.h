#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pbtest {

// While it lives, the calling thread obeys file permissions even when run as
// root: the capabilities that override them are out of its effective set (and
// come back from the permitted set afterwards). For anyone else it changes nothing.
class NoPermissionOverride {
public:
    NoPermissionOverride() {
        ::syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        ::syscall(SYS_capset, &m_header, reduced);
    }
    ~NoPermissionOverride() { ::syscall(SYS_capset, &m_header, m_saved); }
    NoPermissionOverride(const NoPermissionOverride&) = delete;
    NoPermissionOverride& operator=(const NoPermissionOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

} // namespace pbtest
