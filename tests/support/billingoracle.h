#ifndef BILLINGORACLE_H
#define BILLINGORACLE_H

#include "clerkacts.h"

// The tests' own account of what the clerk was promised about an apartment's recurring charges,
// written from the billing rules' words, never from the program's code, so that it can disagree with
// it. It is deliberately plain: each tenant's charges of a line are kept with their spans (and merged
// into sorted stretches of days), and every posting walks each schedule again from its anchor.
//
// The rules, as this account reads them (where the words left room, the reading taken follows ">"):
//  1. Lines. The rent is one line in the terms of each lease in turn; a tenant's rent charges under
//     all his leases cover one another. Each bill added starts a line of its own that outlives tenants
//     and leases. A charge belongs to its line, whatever becomes of the bill rows.
//     > Editing or deleting the rent's bill (line 0) acts on the rent of the lease in force (with none
//       in force, of the lease saved last): amount and frequency become its terms for periods not yet
//       charged, a start later than the first payment date becomes its anchor (an earlier one is the
//       first payment date, rule 2), an end other than the lease's is the clerk's end of that rent, a
//       deletion stops that rent as rule 5 stops a line. A later lease brings rent terms of its own.
//  2. Leases hold the apartment from the first payment date to the end, both included; days before
//     the first payment date are never charged.
//  3. Schedules. The k-th due date is the anchor stepped k periods at once (a day the month lacks is
//     its last day). Rent's anchor is the first payment date; a bill's is its start, or for a line
//     taken over the later of its start and the lease's first payment date. A period is its due date
//     to the day before the next. Resuming past covered days, the walk meets the tenant's own charges
//     of the line (forgiven ones too) one at a time and never steps over several at once. Where a
//     period begins on a day one of his charges covers, the schedule goes on from the day after that
//     charge (of several covering that day, the one that ends latest): unchanged where that day is one
//     of its due dates, anchored anew on that day where it is not. Where a period begins on a free day
//     but runs into a charge of his, the free days before it are told (not charged, never asked
//     about), and the schedule goes on from the day after that charge in the same way. So a lease's
//     own charges, posted on its schedule, never move it, however many postings made them (rule 8).
//     > The words are followed for the tenant who added a bill: its start anchors it under every lease
//       of his, so a start before his first payment date leaves the days from that date to the next due
//       date uncharged (rule 4 wants due dates on or after it), though rule 5 speaks of "the days from
//       it the lease holds". Compare here first where the program disagrees.
//  4. What a lease owes. Only the lease in force owes: on each line it has, every period of the walk
//     above whose due date is on or after its first payment date and before both its end and the
//     line's end, no day of which that tenant's own charges of the line cover (forgiven ones too).
//     Another tenant's charges never settle anything: at a turnover both pay an overlap.
//  5. The clerk's acts on a line hold for every tenant. A line's end bounds due dates: an end typed
//     equal to the end of the lease in force runs with the lease (the line has no end of its own), any
//     other end is the clerk's. A line deleted charges nothing due after the day it was deleted.
//     > A deletion is a dated fact like an end: a lease dated back and saved later owes what fell due
//       up to that day. The start, end, amount and frequency are read as they stand at each posting,
//       so an earlier start charges the uncovered days it adds, a later end resumes the bill, a new
//       amount applies to periods not yet charged.
//  6. Taking a line over. A tenant who did not add a line takes it over with each lease of his saved
//     while the line is neither deleted nor ended before that lease's first payment date (deleted on,
//     or an end of its own on, an earlier day). > Judged once, when the lease is saved. The tenant who
//     added it has it under every lease of his.
//  7. The question, at a lease saved by a tenant who had a lease here before (his latest earlier one).
//     For each line that lease had (its rent in its terms; the bills he added before it was deleted and
//     those it took over; never a deleted line): the periods that lease would owe by rules 3 and 4,
//     counting his agreed periods not yet charged as his charges, that begin after the last day his
//     charges (so counted) of the line cover, and end before the new first payment date and before the
//     first payment date of any other tenant's lease saved after that earlier lease. It is asked when
//     there is at least one.
//     > "Within that lease's days" and "an ended one only for days before its end" bound due dates as
//       rule 4 does (a water bill ended 31 May offers May); the first payment dates bound every day of
//       a period. Days left uncharged between his charges (not after them) are not asked about.
//     Yes keeps those periods at the amounts named, charged under the earlier lease as they fall due,
//     after the lease in force has posted, unless by then the line was deleted before the due date, its
//     end is on or before it, a day of the period is covered by his charges, or another tenant's lease
//     saved after the answer begins on or before its last day. No keeps nothing.
//     > A period such a later first payment date cuts stops whole. Agreed periods not yet charged never
//       cover days for rule 4; the terms named are kept whatever the bill's later edits.
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
