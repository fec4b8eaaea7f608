#ifndef ALLOCATIONCOUNTDOWN_H
#define ALLOCATIONCOUNTDOWN_H

// Makes one chosen allocation of the program fail with std::bad_alloc: the
// n-th one from the moment of arming, counted either on the arming thread
// alone or on every other thread alone. Each thread allocates in an order of
// its own, so counting one side at a time reaches every allocation point of
// that side in turn, however the threads interleave. The replaced global
// operators new and delete that do this live in the same source file.
class AllocationCountdown {
public:
    enum Side { ThisThread, OtherThreads };

    static void Arm(Side side, long n);
    // Stops counting; whether the chosen allocation was reached and failed.
    static bool Disarm();
};

#endif
