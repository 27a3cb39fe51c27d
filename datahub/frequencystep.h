#ifndef FREQUENCYSTEP_H
#define FREQUENCYSTEP_H

// How far one period of a frequency reaches. The office's nine built-in frequencies step by the
// calendar: Semi-Annually is six months whatever the days of its row say, Bi-Weekly fourteen days.
// Any other frequency steps by the days of its row in the frequency table.
struct FrequencyStep
{
    int months = 0;
    int days = 0;

    bool isBuiltIn() const { return months > 0 || days > 0; }
    // The step of built-in frequency `frequency`; none (neither months nor days) for any other.
    static FrequencyStep builtIn(int frequency);
};

#endif // FREQUENCYSTEP_H
