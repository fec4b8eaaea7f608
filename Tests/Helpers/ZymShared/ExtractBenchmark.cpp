// Times one DecompressArchive call: ExtractBenchmark ARCHIVE DESTINATION.
#include "ZymShared.h"

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: ExtractBenchmark ARCHIVE DESTINATION\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool extracted = DecompressArchive(argv[1], argv[2]);
    QueryPerformanceCounter(&end);
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    printf("DecompressArchive: %s in %.3f s\n", extracted ? "true" : "false", seconds);
    return extracted ? 0 : 1;
}
