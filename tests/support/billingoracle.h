#ifndef BILLINGORACLE_H
#define BILLINGORACLE_H

#include "clerkacts.h"

// The tests' own account of what the clerk was promised about an apartment's recurring charges,
// written from the billing rules' words, never from the program's code, so that it can disagree with
// it. It is deliberately plain: the days each tenant's charges of a line cover are kept as sorted,
// merged stretches of days, and every posting walks each schedule again from its anchor.
//
// The rules, as this account reads them (where the words left room, the reading taken follows ">"):
//  1. Lines. The rent is one line in the terms of each lease in turn; a tenant's rent charges under all
//     his leases cover one another. Each bill added starts a line of its own that outlives tenants and
//     leases. A charge belongs to its line, whatever becomes of the bill rows.
//     > Editing or deleting the rent's bill (line 0) acts on the rent of the lease in force (with
//       none in force, of the lease saved last): amount and frequency become its terms for periods not
//       yet charged, a start later than the first payment date becomes its anchor, an end other than
//       the lease's is the clerk's end of that rent, a deletion stops that lease's rent. A later lease
//       brings rent terms of its own and is charged rent afresh.
//  2. Leases hold the apartment from the first payment date to the end, both included; days before
//     the first payment date are never charged.
//  3. Schedules. The k-th due date is the anchor stepped k periods at once (a day the month lacks is
//     its last day). Rent's anchor is the first payment date; a bill's is its start, or for a line taken
//     over the later of its start and the lease's first payment date. A period is its due date to the
//     day before the next. Where the tenant's own charges of the line cover days, his periods go on from
//     the first day after them: on the same schedule if that day is one of its due dates, else on a new
//     schedule anchored on that day. An uncovered stretch shorter than a period that runs into covered
//     days is told, not charged, and never asked about.
//  4. What a lease owes. Only the lease in force owes: on each line in force, every period of the walk
//     above whose due date is on or after its first payment date and before both its end and the
//     line's end, unless a day of it is covered by that tenant's own charges of the line (forgiven ones
//     included). Another tenant's charges never settle anything: at a turnover both pay an overlap.
//  5. The clerk's acts on a line hold for every tenant. A line deleted posts nothing from then on. A
//     line's end is due dates' bound: an end typed equal to the end of the lease in force runs with the
//     lease (the line has no end of its own), any other end is the clerk's. The start, end, amount and
//     frequency are read as they stand at each posting, so an earlier start charges the uncovered days
//     it adds, a later end resumes the bill, a new amount applies to periods not yet charged.
//  6. Taking a line over. A tenant who did not add a line takes it over with each lease of his saved
//     while the line is neither deleted nor ended (an end of its own before the lease's first payment
//     date). > Judged once, when the lease is saved. The adder has the line under every lease of his,
//     anchored on its start.
//  7. The question, at a lease saved by a tenant who had a lease here before (his latest earlier one).
//     For each line that lease had (its rent in its terms; the bills he added before it was deleted or
//     it took over; not a deleted line), the periods that lease would owe by rules 3 and 4, counting his
//     agreed periods not yet charged as his charges, which begin after the last day his charges (so
//     counted) of the line cover, and lie wholly before the new first payment date and before the first
//     payment date of any other tenant's lease saved after that earlier lease.
//     > "Within that lease's days" and "an ended one only for days before its end" bound the due date,
//       as rule 4 does (a water bill ended 31 May offers May); the first payment dates bound every day.
//     It is asked when there is at least one such period. Yes keeps those periods at the amounts named,
//     charged under the earlier lease as they fall due, after the lease in force has posted, unless by
//     then the line is deleted, its end is on or before the due date, a day of the period is covered by
//     his charges, or another tenant's lease saved after the answer begins on or before its last day.
//     > A period a later tenant's first payment date cuts stops whole. Agreed periods not yet charged
//       never cover days for rule 4. No keeps nothing.
//  8. Every act posts what fell due up to its day, does its act, and posts again. A posting charges the
//     lease in force first, then the agreed periods, and repeats until nothing more falls due.
//  9. Charge Ahead N posts on each of the tenant's lines (those of the lease in force, and those where
//     he has agreed periods left) the next N periods not yet charged: the lease's first, then his agreed
//     ones in date order, whatever their due dates.
// 10. Older files: what an older bill charged counts for the tenant it charged; in this account every
//     charge is a tenant's own from the start, so there is nothing more to do.
class BillingOracle
{
public:
    static ClerkOutcome replay(const QList<ClerkAct> &acts);
};

#endif // BILLINGORACLE_H
