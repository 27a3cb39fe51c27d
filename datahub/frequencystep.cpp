#include "datahub/frequencystep.h"

FrequencyStep FrequencyStep::builtIn(int frequency)
{
    switch (frequency) {
    case 1: return {0, 14};
    case 2: return {6, 0};
    case 3: return {1, 0};
    case 4: return {3, 0};
    case 5: return {0, 7};
    case 6: return {12, 0};
    case 7: return {24, 0};
    case 8: return {36, 0};
    case 9: return {60, 0};
    default: return {};
    }
}
