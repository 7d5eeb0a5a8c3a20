// Counts the heap allocations made on the calling thread while a watch is open, so a test can
// show that a code path takes no memory. The test program's operator new does the counting.
#pragma once

class AllocationWatch {
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    long allocations() const;

private:
    long start_;
};
