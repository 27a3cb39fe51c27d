#ifndef SCOPEDTRANSACTION_H
#define SCOPEDTRANSACTION_H

#include <QString>

// One transaction on the program's one connection, held for as long as the object lives.
//
// The constructor begins it; commit() ends it; leaving the scope any other way (an early return, an
// exception) rolls it back, so that no half-written change is left open for the next writer to
// commit. Transactions do not nest: while one is open a second object does not begin at all
// (isActive() is false) instead of giving up the work of whoever opened the first.
class ScopedTransaction
{
public:
    ScopedTransaction();
    ~ScopedTransaction();

    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    // True between a successful begin and the commit or rollback.
    bool isActive() const { return m_active; }

    // Commits; a failed commit is rolled back. True only when the work is stored.
    bool commit();
    // Gives up the work now; true when the engine took the rollback.
    bool rollback();

    // True while any scoped transaction is open.
    static bool anyOpen();
    // Gives up the open transaction, if any, on its holder's behalf (the program is ending): the holder
    // then finds it rolled back, its commit() refused and its rollback() done.
    static bool rollBackOpen();

private:
    bool m_active = false;
    bool m_givenUpForHolder = false;
};

#endif // SCOPEDTRANSACTION_H
