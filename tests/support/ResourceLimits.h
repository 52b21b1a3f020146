#pragma once
// Caps what one test process may take, so that a fault that allocates without end fails its
// test within seconds instead of growing until the system kills something: the data a
// process may map is limited (malloc then fails, and the test fails with std::bad_alloc).
// Time is capped per test by CTest's TIMEOUT (tests/CMakeLists.txt). A build with sanitizers,
// which map their shadow memory up front, keeps its own limits.

namespace testing_support {

// The cap in bytes: QUILLET_TEST_MEMORY_MB when set (0 for none), else 4 GiB.
unsigned long long testMemoryCap();

// Applies the cap to this process and every process it starts. False when it could not.
bool limitTestResources();

} // namespace testing_support
