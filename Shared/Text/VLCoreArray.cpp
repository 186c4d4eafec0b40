#include "VLCoreArray.h"

int VLArrayBase::ComputeCapacity(int needed, int growBy)
{
    if (needed < 1)
        needed = 1;
    if (growBy > 0)
    {
        int64_t c = static_cast<int64_t>(growBy) * (needed / growBy + 1);
        return c > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(c);
    }
    static const int kSteps[] = {4, 64, 256, 1024, 4096, 16384, 65536};
    for (int step : kSteps)
        if (step >= needed)
            return step;
    int64_t c = static_cast<int64_t>(needed) + 65536;
    return c > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(c);
}
