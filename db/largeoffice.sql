-- A large office for measuring the program at size: 200 owners, 1,000 buildings, 10,000 apartments,
-- 12,000 tenants, a lease with its rent bill per let apartment (and a parking bill for one lease in
-- five), 500,000 charges (475,000 of them posted by the rent bills) and 150,000 payments, each
-- payment with its TRANS and CASHBOOK row; and one busy tenant with a long ledger (below).
-- Run on a copy of the delivered DATA.FDB by scripts/largeoffice.sh. The rows are made inside the
-- engine, one EXECUTE BLOCK per table, with explicit keys; the generators are moved past them at
-- the end so that the program's own inserts go on from there.

set term ^ ;

execute block as
    declare i integer = 1;
begin
    while (i <= 200) do
    begin
        insert into owners (oid, code, name, address, city, state, zip, tel, email, manvalue, manfee,
                            banknum, bankname, bsb, resvalue)
        values (:i, 'OWN' || lpad(:i, 4, '0'),
                decode(mod(:i, 8), 0, 'Holloway', 1, 'Okafor', 2, 'Vanrooyen', 3, 'Lindqvist',
                       4, 'Marchetti', 5, 'Adebayo', 6, 'Szabo', 'Tanaka') || ' Holdings ' || :i,
                :i || ' Harbour Road', 'Fairhaven', 'OR', '97420', '(541) 555-' || lpad(:i, 4, '0'),
                'owner' || :i || '@mail.example.com', 8, 6.5, '0044' || :i, 'Coastline Savings Bank',
                '123-456', 1500);
        i = i + 1;
    end
end^

-- The office's staff, with the rights of a clerk.
execute block as
    declare i integer = 2;
begin
    while (i <= 25) do
    begin
        insert into users (wid, lastname, firstname, id, progoptions, modusers, bill, voidtrans, tenants,
                           buildings, apartments, cashbook, equipments, owners, email, reports)
        values (:i, 'Clerk' || :i, 'Staff', 'CLERK' || :i, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1);
        i = i + 1;
    end
end^

-- Five buildings per owner.
execute block as
    declare i integer = 1;
begin
    while (i <= 1000) do
    begin
        insert into buildings (buildid, description, address, city, tel, manager, provstate, postalcode,
                               apartments, purchasedate, marketvalue, oid)
        values (:i,
                decode(mod(:i, 6), 0, 'Bayview', 1, 'Cedar', 2, 'Harbour', 3, 'Maple', 4, 'Ridge', 'Willow')
                    || ' Court ' || :i,
                :i || ' Main Street', 'Fairhaven', '(541) 555-' || lpad(mod(:i, 10000), 4, '0'),
                'Manager ' || :i, 'OR', '97420', 10, dateadd(mod(:i, 3650) day to date '2000-01-01'),
                1000000 + :i * 100, 1 + mod(:i - 1, 200));
        i = i + 1;
    end
end^

execute block as
    declare i integer = 1;
begin
    while (i <= 12000) do
    begin
        insert into tenants (tid, id, company, firstname, lastname, address, city, state, postalcode, tel,
                             dob, occupation, employer, active, income, incomeperiod, acctype)
        values (:i, 'T' || lpad(:i, 6, '0'),
                iif(mod(:i, 7) = 0, 'Company ' || :i, ''),
                decode(mod(:i, 12), 0, 'Anna', 1, 'Boris', 2, 'Carmen', 3, 'Dmitri', 4, 'Elena', 5, 'Farid',
                       6, 'Greta', 7, 'Hiro', 8, 'Ingrid', 9, 'Jonas', 10, 'Keiko', 'Luis'),
                decode(mod(:i, 9), 0, 'Smith', 1, 'Novak', 2, 'Garcia', 3, 'Kowalski', 4, 'Brown',
                       5, 'Rossi', 6, 'Nguyen', 7, 'Okoro', 'Jensen') || :i,
                :i || ' Tenant Lane', 'Fairhaven', 'OR', '97420', '(541) 556-' || lpad(mod(:i, 10000), 4, '0'),
                dateadd(mod(:i, 15000) day to date '1950-01-01'), 'Clerk', 'Harbour Works',
                iif(:i <= 10000, 1, 0), 3000, 1, 1);
        i = i + 1;
    end
end^

-- Ten apartments per building; one in twenty stands vacant.
execute block as
    declare i integer = 1;
begin
    while (i <= 10000) do
    begin
        insert into apartments (apid, tid, bid, suite, squarefootage, bedrooms, bathrooms, rent, floor,
                                aptcategory, status, agreeid)
        values (:i, iif(mod(:i, 20) = 0, -1, :i), 1 + (:i - 1) / 10, 'S-' || lpad(:i, 5, '0'),
                500 + mod(:i, 700), 1 + mod(:i, 4), 1 + mod(:i, 2), 800 + mod(:i, 900),
                '' || (1 + mod(:i - 1, 10)), 'Standard', iif(mod(:i, 20) = 0, 'Vacant', 'Occupied'),
                iif(mod(:i, 20) = 0, -1, :i));
        i = i + 1;
    end
end^

-- A lease for every let apartment, in the apartment's own key, with its monthly rent bill; one lease
-- in five also bills a parking space, taken this month. Each lease began fifty months before the month
-- the office is made in, and its rent bill has charged every month since, up to that one, as the
-- program charges: each charge names its bill, the days it covers and its lease, and the bill stands
-- at its next due date (the first of this month) with its last due date the month before. The first
-- start after making it posts a month's charges for every lease, as an office's start-up after a
-- month away does, and a lease saved again finds its months charged. (Charges a start-up posts are
-- not paid: owed from then on.) The first fifteen charges of each lease are paid (the payments below):
-- nothing of them is owed any more, which leaves 350,000 owed charges. A vacant apartment keeps the
-- fifty charges of its former tenant, whose bill is gone: they name none.
execute block as
    declare i integer = 1;
    declare month_start date;
    declare first_month date;
    declare parking integer = 10000;
    declare ap integer;
    declare m integer;
begin
    month_start = dateadd(1 - extract(day from current_date) day to current_date);
    first_month = dateadd(-50 month to month_start);
    while (i <= 10000) do
    begin
        if (mod(:i, 20) <> 0) then
        begin
            insert into agreements (rid, tid, apid, damage, rent, latefee, perday, freq, firstdue, leaseterm,
                                    leasestart, leaseend, movein, moveout, nextdate, spareamount)
            values (:i, :i, :i, 800 + mod(:i, 900), 800 + mod(:i, 900), 25, 0, 3, :first_month, '6 Years',
                    :first_month, date '2030-12-31', dateadd(-2 day to :first_month), null, :month_start, 0);
            insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid,
                               completed, apid, leaserent, rid, firstpay, lastdue)
            values (:i, 'Rent', 800 + mod(:i, 900), 25, 3, :month_start, :first_month,
                    date '2030-12-31', 0, :i, 0, :i, 1, :i, :first_month, dateadd(-1 month to :month_start));
            if (mod(:i, 5) = 1) then
            begin
                parking = parking + 1;
                insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid,
                                   completed, apid, rid, firstpay)
                values (:parking, 'Parking', 45, 0, 3, :month_start, :month_start, date '2030-12-31', 0,
                        :i, 0, :i, :i, :month_start);
            end
        end
        i = i + 1;
    end

    -- Fifty monthly rent charges per apartment.
    i = 1;
    while (i <= 500000) do
    begin
        ap = 1 + (:i - 1) / 50;
        m = mod(:i - 1, 50);
        insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat,
                             perday, memo, lfd, recid, lastday, rid)
        values (:i, :ap, :ap, 'Rent', iif(:m < 15, 0, 800 + mod(:ap, 900)), iif(:m < 15, 800 + mod(:ap, 900), 0),
                dateadd(:m month to :first_month), iif(:m < 15, 800 + mod(:ap, 900), 0),
                800 + mod(:ap, 900), 25, 0, 'Rent for month ' || (:m + 1), 0,
                iif(mod(:ap, 20) = 0, null, :ap),
                iif(mod(:ap, 20) = 0, null, dateadd(-1 day to dateadd(:m + 1 month to :first_month))),
                iif(mod(:ap, 20) = 0, null, :ap));
        i = i + 1;
    end
end^

-- Each payment pays one of the first fifteen charges of an apartment and has its own transaction
-- and cashbook row, in the same key.
execute block as
    declare i integer = 1;
    declare ap integer;
    declare m integer;
    declare d date;
    declare amount double precision;
    declare first_month date;
begin
    first_month = dateadd(-50 month to dateadd(1 - extract(day from current_date) day to current_date));
    while (i <= 150000) do
    begin
        ap = 1 + (:i - 1) / 15;
        m = mod(:i - 1, 15);
        d = dateadd(:m month to dateadd(2 day to :first_month));
        d = dateadd(mod(:i, 25) day to :d);
        amount = 800 + mod(:ap, 900);
        insert into trans (transid, tdate, tid, apid, ccard, ccardn, mycheck, checkn, cash, paytotal,
                           duetotal, applied)
        values (:i, :d, :ap, :ap, 0, '', :amount, '' || (100000 + :i), 0, :amount, :amount, :amount);
        insert into payments (payid, transid, chid, amount, type, fordate, datepaid, accid)
        values (:i, :i, (:ap - 1) * 50 + 1 + :m, :amount, 'Rent', dateadd(:m month to :first_month), :d, :i);
        insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid, comments, transid)
        values (:i, :d, 5, 'Rent payment S-' || lpad(:ap, 5, '0'), 0, :amount, -1, :ap,
                rpad('Cheque ' || (100000 + :i) || ' received at the office counter and banked the same day; ',
                     400, 'receipt filed with the tenant''s ledger. '),
                :i);
        i = i + 1;
    end
end^

set term ; ^

-- Each lease was saved once, in its own terms: it holds its apartment from its first payment date.
insert into leasehistory (rid, apid, tid, firstpay, leaseend, rent, freq, deleted)
    select rid, apid, tid, firstdue, leaseend, rent, freq, 0 from agreements;

alter sequence gen_users_id restart with 25;
alter sequence gen_owners_id restart with 200;
alter sequence gen_buildings_id restart with 1000;
alter sequence gen_tenants_id restart with 12000;
alter sequence gen_apartments_id restart with 10000;
alter sequence gen_agreements_id restart with 10000;
alter sequence gen_recur_id restart with 12000;
alter sequence gen_charges_id restart with 500000;
alter sequence gen_trans_id restart with 150000;
alter sequence gen_payments_id restart with 150000;
alter sequence gen_cashbook_id restart with 150000;

commit;

-- ---- The busy tenant: one long-standing tenant with a thousand payments (each with its TRANS,
-- PAYMENTS and CASHBOOK row, paying a charge of its own) and two thousand charges still owed, for
-- the payment history and the rent collection of a tenant with a long ledger. Found by the ID
-- "T-BUSY". Its keys come from the generators, after the rows above; it leaves them past its own.
set term ^ ;
execute block as
    declare tenant integer;
    declare apartment integer;
    declare charge integer;
    declare payment integer;
    declare i integer = 0;
    declare d date;
begin
    tenant = gen_id(gen_tenants_id, 1);
    insert into tenants (tid, id, company, firstname, lastname, address, city, state, postalcode, tel,
                         dob, occupation, employer, active, income, incomeperiod, acctype)
    values (:tenant, 'T-BUSY', '', 'Margit', 'Longstay', '1 Tenant Lane', 'Fairhaven', 'OR', '97420',
            '(541) 557-0001', date '1960-05-05', 'Clerk', 'Harbour Works', 1, 3000, 1, 1);
    apartment = gen_id(gen_apartments_id, 1);
    insert into apartments (apid, tid, bid, suite, squarefootage, bedrooms, bathrooms, rent, floor,
                            aptcategory, status, agreeid)
    values (:apartment, :tenant, 1, 'S-BUSY', 900, 2, 1, 950, '1', 'Standard', 'Occupied', -1);
    while (i < 1000) do
    begin
        d = dateadd(:i * 3 day to date '2018-01-01');
        charge = gen_id(gen_charges_id, 1);
        insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat,
                             perday, memo, lfd)
        values (:charge, :tenant, :apartment, 'Rent', 0, 0, :d, 950, 950, 25, 0, 'Paid rent ' || (:i + 1), 0);
        payment = gen_id(gen_trans_id, 1);
        insert into trans (transid, tdate, tid, apid, ccard, ccardn, mycheck, checkn, cash, paytotal,
                           duetotal, applied)
        values (:payment, :d, :tenant, :apartment, 0, '', 950, '' || (500000 + :i), 0, 950, 950, 950);
        insert into payments (payid, transid, chid, amount, type, fordate, datepaid, accid)
        values (gen_id(gen_payments_id, 1), :payment, :charge, 950, 'Rent', :d, :d, 0);
        insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid, comments, transid)
        values (gen_id(gen_cashbook_id, 1), :d, 5, 'Rent payment S-BUSY', 0, 950, -1, :apartment,
                'Cheque ' || (500000 + :i), :payment);
        i = i + 1;
    end
    i = 0;
    while (i < 2000) do
    begin
        insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat,
                             perday, memo, lfd)
        values (gen_id(gen_charges_id, 1), :tenant, :apartment, 'Rent', 950, 0,
                dateadd(:i day to date '2026-01-01'), 0, 950, 25, 0, 'Owed rent ' || (:i + 1), 0);
        i = i + 1;
    end
end^
set term ; ^
commit;
-- ---- End of the busy tenant.


-- The optimizer chooses by index selectivity; after a bulk load those figures are stale.
set term ^ ;
execute block as
    declare name varchar(63);
begin
    for select rdb$index_name from rdb$indices where coalesce(rdb$system_flag, 0) = 0 into :name do
        execute statement 'set statistics index ' || trim(:name);
end^
set term ; ^
commit;
