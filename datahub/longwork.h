#ifndef LONGWORK_H
#define LONGWORK_H

// Work that may take more than a moment, for as long as the object lives: the wait cursor shows over
// every window of the program. Nests: the cursor goes back when the outermost one ends.
class LongWork
{
public:
    LongWork();
    ~LongWork();
    LongWork(const LongWork &) = delete;
    LongWork &operator=(const LongWork &) = delete;
};

#endif // LONGWORK_H
