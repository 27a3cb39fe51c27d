-- The tables of one office, their key generators and the triggers that fill a key an insert left out.
--
-- Column order matters: the program addresses many columns by position, so a column is only ever
-- added at the end of its table. Long free texts (notes, letter bodies) are text blobs; every other
-- text is a UTF8 varchar. Flags are 0/1 small integers, money is double precision, dates are DATE.
-- Nothing cascades: the program removes dependent rows itself.

-- Owners, buildings and apartments ----------------------------------------------------------------

create table owners (
    oid             integer not null primary key,
    code            varchar(20),
    name            varchar(100),
    address         varchar(120),
    city            varchar(60),
    state           varchar(40),
    zip             varchar(20),
    tel             varchar(30),
    hometel         varchar(30),
    mobile          varchar(30),
    fax             varchar(30),
    dat1            varchar(100),
    dat2            varchar(100),
    email           varchar(120),
    spare1          varchar(100),
    notes           blob sub_type text,
    manvalue        double precision default 0,
    manfee          double precision default 0,
    banknum         varchar(40),
    bankname        varchar(100),
    bsb             varchar(20),
    spare2          varchar(100),
    resvalue        double precision default 0
);

create table buildings (
    buildid         integer not null primary key,
    description     varchar(100),
    address         varchar(120),
    city            varchar(60),
    tel             varchar(30),
    manager         varchar(100),
    dat1            varchar(100),
    provstate       varchar(40),
    postalcode      varchar(20),
    apartments      integer default 0,
    policynum       varchar(40),
    insurer         varchar(100),
    purchasedate    date,
    marketvalue     double precision default 0,
    mantel          varchar(30),
    spare1          varchar(100),
    spare2          varchar(100),
    oid             integer
);

create table apartments (
    apid            integer not null primary key,
    tid             integer default -1,
    bid             integer,
    suite           varchar(20),
    squarefootage   double precision default 0,
    bedrooms        integer default 0,
    bathrooms       integer default 0,
    rent            double precision default 0,
    dining          smallint default 0,
    familyroom      smallint default 0,
    den             smallint default 0,
    aircond         smallint default 0,
    gas             smallint default 0,
    basement        smallint default 0,
    furnished       smallint default 0,
    balcony         smallint default 0,
    fireplace       smallint default 0,
    nonsmoking      smallint default 0,
    microwave       smallint default 0,
    washer          smallint default 0,
    dishwasher      smallint default 0,
    fridge          smallint default 0,
    electricnum     varchar(40),
    communitynum    varchar(40),
    heating         varchar(40),
    floor           varchar(20),
    aptcategory     varchar(20),
    status          varchar(20),
    dat1            varchar(100),
    dat2            varchar(100),
    notes           blob sub_type text,
    agreeid         integer default -1
);

-- Tenants and what hangs on them --------------------------------------------------------------------

create table tenants (
    tid                 integer not null primary key,
    id                  varchar(30),
    company             varchar(100),
    firstname           varchar(60),
    lastname            varchar(60),
    address             varchar(120),
    city                varchar(60),
    state               varchar(40),
    postalcode          varchar(20),
    tel                 varchar(30),
    driverslicense      varchar(40),
    driverslicenseprov  varchar(40),
    cctype              varchar(40),
    ccardnum            varchar(30),
    ccardexpire         date,
    dob                 date,
    occupation          varchar(60),
    employer            varchar(100),
    dat1                varchar(120),
    dat2                varchar(100),
    active              smallint default 1,
    notes               blob sub_type text,
    incidents           blob sub_type text,
    income              double precision default 0,
    incomeperiod        integer default 1,
    bankname            varchar(100),
    branch              varchar(60),
    accnum              varchar(40),
    acctype             integer default 1,
    notifyname          varchar(100),
    notifytel           varchar(30),
    notifyrel           varchar(40),
    dat3                varchar(100),
    insurenum           varchar(30)
);

create table vehicles (
    vehid           integer not null primary key,
    tid             integer,
    make            varchar(40),
    model           varchar(40),
    plate           varchar(20)
);

create table pets (
    petid           integer not null primary key,
    tid             integer,
    name            varchar(60),
    comments        varchar(1000)
);

create table occupants (
    occid           integer not null primary key,
    tid             integer,
    name            varchar(100),
    relationship    varchar(40),
    ssn             varchar(30),
    dob             date,
    comments        varchar(1000)
);

create table waitlist (
    wlid            integer not null primary key,
    tid             integer
);

create table deposits (
    depid           integer not null primary key,
    tid             integer,
    tdate           date,
    amount          double precision default 0,
    memo            varchar(1000),
    paymenttype     varchar(20)
);

create table ccards (
    ccid            integer not null primary key,
    name            varchar(40)
);

create table leases (
    leaseid         integer not null primary key,
    name            varchar(40)
);

-- Billing ---------------------------------------------------------------------------------------------

create table frequency (
    freqid          integer not null primary key,
    name            varchar(40),
    description     varchar(120),
    days            integer default 0,
    sysflag         smallint default 0
);

create table agreements (
    rid             integer not null primary key,
    tid             integer,
    apid            integer,
    damage          double precision default 0,
    rent            double precision default 0,
    latefee         double precision default 0,
    perday          double precision default 0,
    freq            integer,
    firstdue        date,
    leaseterm       varchar(40),
    leasestart      date,
    leaseend        date,
    movein          date,
    moveout         date,
    notes           blob sub_type text,
    spare1          varchar(100),
    nextdate        date,
    spareamount     double precision default 0
);

create table recur (
    recid           integer not null primary key,
    type            varchar(80),
    amount          double precision default 0,
    latefee         double precision default 0,
    freq            integer,
    nextdate        date,
    startdate       date,
    enddate         date,
    perday          double precision default 0,
    tid             integer,
    completed       smallint default 0,
    apid            integer,
    -- 1 for the bill that charges an apartment's lease its rent; it is stopped, not deleted, when the
    -- lease is, and a lease made again for the same tenant takes it up where it stood.
    leaserent       smallint default 0,
    -- The due date of the last period the bill charged; empty while it has charged none. Kept for the
    -- record: what a line has charged is read from its charges.
    lastdue         date,
    -- The first due date of the bill's periods: its due dates are counted from it, so that a bill begun
    -- on the 31st is due on the 31st again after a shorter month.
    firstpay        date,
    -- The lease whose terms the bill charges (or ran with), where a lease made or took it up.
    rid             integer,
    -- The first bill of the line this one belongs to (the same parking space, say, through every
    -- tenant and lease); empty for the first of its line.
    origin          integer,
    -- The end the lease command gave the bill, in files of the previous layout; no longer read.
    givenend        date,
    -- The end the clerk typed or ended the bill at: it charges no day after it, whichever lease is
    -- saved later. Empty where the bill runs with its lease, to the lease's end.
    clerkend        date,
    -- The line the bill shows: 0 for a lease's rent, else the key of the line's first bill. Its charges
    -- are the line's, whatever becomes of the bill.
    line            integer,
    -- The tenant who added the line; empty where it is the bill's tenant.
    addedby         integer,
    -- The day the clerk deleted the bill: from then on it is the record of a line deleted, shown in no
    -- list, and charges nothing after that day.
    deletedon       date
);

create table charges (
    chid            integer not null primary key,
    tid             integer,
    apid            integer,
    type            varchar(80),
    amt             double precision default 0,
    applied         double precision default 0,
    fordate         date,
    paid            double precision default 0,
    origamount      double precision default 0,
    latefeeflat     double precision default 0,
    perday          double precision default 0,
    memo            varchar(250),
    lfd             integer default 0,
    -- The recurring bill that posted the charge; empty for one-time charges and late fees.
    recid           integer,
    -- The last day of the period a posted charge covers (it covers fordate to lastday); empty for
    -- one-time charges and late fees, which cover no days.
    lastday         date,
    -- The lease the charge was posted under; empty where none was known.
    rid             integer
);

-- Days a recurring bill's line has dealt with for its tenant although no charge stands for them: a
-- charge the clerk forgave (kind 1) and what a bill had dealt with before its file recorded the periods
-- of its charges (4). Files of earlier layouts also held kinds 2, 3 and 5, which opening them turns
-- into the facts above.
create table dealtdays (
    recid           integer not null,
    apid            integer,
    tid             integer,
    rid             integer,
    fromdate        date,
    lastday         date not null,
    kind            smallint not null
);

-- Every lease saved, in the order saved (its key is its agreement's), kept when the lease is deleted:
-- which tenant held the apartment on which days, in which terms.
create table leasehistory (
    rid             integer not null primary key,
    apid            integer,
    tid             integer,
    firstpay        date,
    leaseend        date,
    rent            double precision default 0,
    freq            integer,
    deleted         smallint default 0
);

-- The lines of another tenant a lease took over when it was saved.
create table leasetaken (
    rid             integer not null,
    line            integer not null
);

-- Periods of a tenant's earlier lease here he agreed to have charged, when lease `askedby` was saved;
-- each is charged as it falls due unless his own charges cover a day of it first.
create table agreedperiods (
    askedby         integer not null,
    tid             integer,
    apid            integer,
    line            integer not null,
    fordate         date not null,
    lastday         date not null,
    amount          double precision default 0,
    rid             integer
);

create table trans (
    transid         integer not null primary key,
    tdate           date,
    tid             integer,
    apid            integer,
    ccard           double precision default 0,
    ccardn          varchar(30),
    mycheck         double precision default 0,
    checkn          varchar(30),
    cash            double precision default 0,
    paytotal        double precision default 0,
    duetotal        double precision default 0,
    applied         double precision default 0
);

create table payments (
    payid           integer not null primary key,
    transid         integer,
    chid            integer,
    amount          double precision default 0,
    type            varchar(80),
    fordate         date,
    datepaid        date,
    accid           integer default 0
);

-- Cashbook --------------------------------------------------------------------------------------------

create table categories (
    catid           integer not null primary key,
    name            varchar(80),
    description     varchar(120),
    type            integer default 0
);

create table cashbook (
    accid           integer not null primary key,
    tdate           date,
    catid           integer,
    description     varchar(200),
    expense         double precision default 0,
    income          double precision default 0,
    vid             integer default -1,
    apid            integer,
    comments        varchar(1000),
    transid         integer
);

-- The totals of the whole cashbook, one row kept by the cashbook's trigger below, so that the cashbook
-- window shows them without reading every entry.
create table cashbooktotals (
    expense         numeric(18, 6) default 0 not null,
    income          numeric(18, 6) default 0 not null
);

-- Upkeep ----------------------------------------------------------------------------------------------

create table vendors (
    vid             integer not null primary key,
    name            varchar(100),
    contact         varchar(100),
    tel             varchar(30),
    address         varchar(120),
    city            varchar(60),
    state           varchar(40),
    type            varchar(40),
    othertype       varchar(60)
);

create table maintenance (
    id              integer not null primary key,
    ldate           date,
    description     varchar(200),
    typex           varchar(30),
    status          varchar(20),
    priority        varchar(20),
    cost            double precision default 0,
    vendor          integer,
    notes           blob sub_type text,
    invdate         date,
    compdate        date,
    invnum          varchar(40),
    apid            integer
);

create table equipments (
    id              integer not null primary key,
    apid            integer,
    description     varchar(100),
    serial          varchar(60),
    model           varchar(60),
    brand           varchar(60),
    purchasedate    date,
    price           double precision default 0,
    purchasedfrom   varchar(100)
);

create table todo (
    id              integer not null primary key,
    description     varchar(200),
    notes           blob sub_type text,
    tdate           date,
    priority        integer default 2
);

create table reminders (
    id              integer not null primary key,
    title           varchar(100),
    description     blob sub_type text,
    tdate           date,
    reminder        smallint default 0
);

-- Users, settings and texts ---------------------------------------------------------------------------

create table users (
    wid             integer not null primary key,
    lastname        varchar(60),
    firstname       varchar(60),
    id              varchar(30),
    npassword       varchar(32),
    progoptions     smallint default 0,
    modusers        smallint default 0,
    bill            smallint default 0,
    voidtrans       smallint default 0,
    tenants         smallint default 0,
    buildings       smallint default 0,
    apartments      smallint default 0,
    cashbook        smallint default 0,
    equipments      smallint default 0,
    owners          smallint default 0,
    email           smallint default 0,
    reports         smallint default 0
);

-- One setting per row, read by position in key order; the label only helps whoever reads the table.
create table setup (
    setid           integer not null primary key,
    textvalue       varchar(250),
    flagvalue       smallint default 0,
    label           varchar(60)
);

-- The three notices in key order: late rent and charges, lease reminder, custom.
create table mail (
    mailid          integer not null primary key,
    subject         varchar(200),
    intro           varchar(4000),
    signoff         varchar(4000),
    label           varchar(60)
);

create table letters (
    lid             integer not null primary key,
    title           varchar(100),
    body            blob sub_type text
);

-- Look-ups the lists and runs make by link ------------------------------------------------------------

create index ix_buildings_oid on buildings (oid);
create index ix_apartments_bid on apartments (bid);
create index ix_apartments_tid on apartments (tid);
create index ix_vehicles_tid on vehicles (tid);
create index ix_pets_tid on pets (tid);
create index ix_occupants_tid on occupants (tid);
create index ix_waitlist_tid on waitlist (tid);
create index ix_deposits_tid on deposits (tid);
create index ix_agreements_apid on agreements (apid);
create index ix_agreements_tid on agreements (tid);
create index ix_recur_apid on recur (apid);
create index ix_recur_tid on recur (tid);
create index ix_charges_tid on charges (tid);
create index ix_charges_apid on charges (apid);
create index ix_charges_fordate on charges (fordate);
create index ix_charges_recid on charges (recid);
create index ix_dealtdays_recid on dealtdays (recid);
create index ix_leasehistory_apid on leasehistory (apid);
create index ix_leasetaken_rid on leasetaken (rid);
create index ix_agreedperiods_apid on agreedperiods (apid);
create index ix_trans_tid on trans (tid);
-- The cashbook and the payment transactions are listed newest first; with these the engine reads
-- the first screenful straight from the index instead of sorting the whole table.
create descending index ix_trans_tdate_desc on trans (tdate);
create index ix_payments_transid on payments (transid);
create index ix_payments_chid on payments (chid);
create index ix_cashbook_transid on cashbook (transid);
create index ix_cashbook_tdate on cashbook (tdate);
create index ix_cashbook_apid on cashbook (apid);
create descending index ix_cashbook_tdate_desc on cashbook (tdate);
-- The layout of the file, so that the program can bring a file of an earlier layout up to date.
create table filelevel (
    fileversion     integer not null
);

create index ix_maintenance_apid on maintenance (apid);
create index ix_equipments_apid on equipments (apid);

-- Keys ------------------------------------------------------------------------------------------------
-- Every table has its generator GEN_<TABLE>_ID. Editors read the next key themselves; other inserts
-- leave the key out and the trigger takes it from the same generator, so both ways share one series.

create sequence gen_owners_id;
create sequence gen_buildings_id;
create sequence gen_apartments_id;
create sequence gen_tenants_id;
create sequence gen_vehicles_id;
create sequence gen_pets_id;
create sequence gen_occupants_id;
create sequence gen_waitlist_id;
create sequence gen_deposits_id;
create sequence gen_ccards_id;
create sequence gen_leases_id;
create sequence gen_frequency_id;
create sequence gen_agreements_id;
create sequence gen_recur_id;
create sequence gen_charges_id;
create sequence gen_trans_id;
create sequence gen_payments_id;
create sequence gen_categories_id;
create sequence gen_cashbook_id;
create sequence gen_vendors_id;
create sequence gen_maintenance_id;
create sequence gen_equipments_id;
create sequence gen_todo_id;
create sequence gen_reminders_id;
create sequence gen_users_id;
create sequence gen_setup_id;
create sequence gen_mail_id;
create sequence gen_letters_id;

set term ^ ;

create trigger owners_bi for owners active before insert position 0 as
begin if (new.oid is null) then new.oid = gen_id(gen_owners_id, 1); end^
create trigger buildings_bi for buildings active before insert position 0 as
begin if (new.buildid is null) then new.buildid = gen_id(gen_buildings_id, 1); end^
create trigger apartments_bi for apartments active before insert position 0 as
begin if (new.apid is null) then new.apid = gen_id(gen_apartments_id, 1); end^
create trigger tenants_bi for tenants active before insert position 0 as
begin if (new.tid is null) then new.tid = gen_id(gen_tenants_id, 1); end^
create trigger vehicles_bi for vehicles active before insert position 0 as
begin if (new.vehid is null) then new.vehid = gen_id(gen_vehicles_id, 1); end^
create trigger pets_bi for pets active before insert position 0 as
begin if (new.petid is null) then new.petid = gen_id(gen_pets_id, 1); end^
create trigger occupants_bi for occupants active before insert position 0 as
begin if (new.occid is null) then new.occid = gen_id(gen_occupants_id, 1); end^
create trigger waitlist_bi for waitlist active before insert position 0 as
begin if (new.wlid is null) then new.wlid = gen_id(gen_waitlist_id, 1); end^
create trigger deposits_bi for deposits active before insert position 0 as
begin if (new.depid is null) then new.depid = gen_id(gen_deposits_id, 1); end^
create trigger ccards_bi for ccards active before insert position 0 as
begin if (new.ccid is null) then new.ccid = gen_id(gen_ccards_id, 1); end^
create trigger leases_bi for leases active before insert position 0 as
begin if (new.leaseid is null) then new.leaseid = gen_id(gen_leases_id, 1); end^
create trigger frequency_bi for frequency active before insert position 0 as
begin if (new.freqid is null) then new.freqid = gen_id(gen_frequency_id, 1); end^
create trigger agreements_bi for agreements active before insert position 0 as
begin if (new.rid is null) then new.rid = gen_id(gen_agreements_id, 1); end^
create trigger recur_bi for recur active before insert position 0 as
begin if (new.recid is null) then new.recid = gen_id(gen_recur_id, 1); end^
-- A bill added shows a line of its own; a rent bill shows its apartment's rent.
create trigger recur_line for recur active before insert or update position 1 as
begin
  if (coalesce(new.leaserent, 0) <> 0) then new.line = 0;
  else if (new.line is null) then new.line = coalesce(new.origin, new.recid);
end^
create trigger charges_bi for charges active before insert position 0 as
begin if (new.chid is null) then new.chid = gen_id(gen_charges_id, 1); end^
create trigger trans_bi for trans active before insert position 0 as
begin if (new.transid is null) then new.transid = gen_id(gen_trans_id, 1); end^
create trigger payments_bi for payments active before insert position 0 as
begin if (new.payid is null) then new.payid = gen_id(gen_payments_id, 1); end^
create trigger categories_bi for categories active before insert position 0 as
begin if (new.catid is null) then new.catid = gen_id(gen_categories_id, 1); end^
create trigger cashbook_bi for cashbook active before insert position 0 as
begin if (new.accid is null) then new.accid = gen_id(gen_cashbook_id, 1); end^
create trigger vendors_bi for vendors active before insert position 0 as
begin if (new.vid is null) then new.vid = gen_id(gen_vendors_id, 1); end^
create trigger maintenance_bi for maintenance active before insert position 0 as
begin if (new.id is null) then new.id = gen_id(gen_maintenance_id, 1); end^
create trigger equipments_bi for equipments active before insert position 0 as
begin if (new.id is null) then new.id = gen_id(gen_equipments_id, 1); end^
create trigger todo_bi for todo active before insert position 0 as
begin if (new.id is null) then new.id = gen_id(gen_todo_id, 1); end^
create trigger reminders_bi for reminders active before insert position 0 as
begin if (new.id is null) then new.id = gen_id(gen_reminders_id, 1); end^
create trigger users_bi for users active before insert position 0 as
begin if (new.wid is null) then new.wid = gen_id(gen_users_id, 1); end^
create trigger setup_bi for setup active before insert position 0 as
begin if (new.setid is null) then new.setid = gen_id(gen_setup_id, 1); end^
create trigger mail_bi for mail active before insert position 0 as
begin if (new.mailid is null) then new.mailid = gen_id(gen_mail_id, 1); end^
create trigger letters_bi for letters active before insert position 0 as
begin if (new.lid is null) then new.lid = gen_id(gen_letters_id, 1); end^

create trigger cashbook_totals for cashbook active after insert or update or delete position 0 as
begin
    if (inserting or updating) then
        update cashbooktotals set expense = expense + coalesce(new.expense, 0),
                                  income = income + coalesce(new.income, 0);
    if (updating or deleting) then
        update cashbooktotals set expense = expense - coalesce(old.expense, 0),
                                  income = income - coalesce(old.income, 0);
end^

set term ; ^

commit;
