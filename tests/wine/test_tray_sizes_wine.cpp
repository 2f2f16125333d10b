// Record sizes the notification-icon adapter relies on.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace {

TEST(TraySizes, NotifyIconRecordHasTheShell5Layout) {
    const auto v2Size = static_cast<std::size_t>(NOTIFYICONDATAA_V2_SIZE);
#if defined(__i386__) || defined(_M_IX86)
    EXPECT_EQ(v2Size, 488u);
#endif
    // The version-2 size ends right after the balloon flags, before the item GUID.
    EXPECT_EQ(v2Size, offsetof(NOTIFYICONDATAA, guidItem));
    EXPECT_EQ(sizeof(NOTIFYICONDATAA{}.szTip), 128u);
}

}  // namespace
