#include "settings/options.h"

#include <cstring>

void DefaultOptions(Options& options)
{
    std::memset(&options, 0, sizeof options);
    options.fontSize = 2;
    options.precision = 6;
}
