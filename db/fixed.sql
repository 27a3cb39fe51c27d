-- Rows every delivered database carries. The program finds several of them by key (the administrator,
-- the built-in frequencies, the protected categories, the first letters) or by position in key order
-- (settings and mail notices), and never creates them itself.

-- The administrator: no password until the office sets one, every right.
insert into users (wid, lastname, firstname, id, npassword,
                   progoptions, modusers, bill, voidtrans, tenants, buildings, apartments,
                   cashbook, equipments, owners, email, reports)
values (1, 'Administrator', 'System', 'ADMIN', null, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);

-- Office settings, one per row in this key order. Row 13 holds the mail password in scrambled form;
-- empty means none is stored yet. Row 17 keeps its value in flagvalue (1 = TLS, 0 = SSL).
insert into setup (setid, textvalue, flagvalue, label) values (1, '', 0, 'Company name');
insert into setup (setid, textvalue, flagvalue, label) values (2, '', 0, 'Address line 1');
insert into setup (setid, textvalue, flagvalue, label) values (3, '', 0, 'Address line 2');
insert into setup (setid, textvalue, flagvalue, label) values (4, '', 0, 'City');
insert into setup (setid, textvalue, flagvalue, label) values (5, '', 0, 'Zip or postal code');
insert into setup (setid, textvalue, flagvalue, label) values (6, '', 0, 'State');
insert into setup (setid, textvalue, flagvalue, label) values (7, '', 0, 'Phone');
insert into setup (setid, textvalue, flagvalue, label) values (8, '', 0, 'Mobile');
insert into setup (setid, textvalue, flagvalue, label) values (9, '', 0, 'Fax');
insert into setup (setid, textvalue, flagvalue, label) values (10, '', 0, 'Owner first name');
insert into setup (setid, textvalue, flagvalue, label) values (11, '', 0, 'Owner last name');
insert into setup (setid, textvalue, flagvalue, label) values (12, '', 0, 'Mail sender name');
insert into setup (setid, textvalue, flagvalue, label) values (13, '', 0, 'Mail sender address');
insert into setup (setid, textvalue, flagvalue, label) values (14, '', 0, 'Mail password (scrambled)');
insert into setup (setid, textvalue, flagvalue, label) values (15, '', 0, 'SMTP server');
insert into setup (setid, textvalue, flagvalue, label) values (16, '587', 0, 'SMTP port');
insert into setup (setid, textvalue, flagvalue, label) values (17, '', 0, 'SMTP user name');
insert into setup (setid, textvalue, flagvalue, label) values (18, '', 1, 'Use TLS (1) or SSL (0)');

-- The three e-mail notices in key order: late rent and charges, lease reminder, custom.
insert into mail (mailid, subject, intro, signoff, label) values (1,
    'Outstanding rent and charges on your account',
    'Dear Tenant,' || ascii_char(10) || ascii_char(10) ||
    'Our records show that the following rent and charges on your account are past due. '
    || 'Please arrange payment at your earliest convenience, or contact the office if you believe '
    || 'this notice was sent in error.' || ascii_char(10),
    ascii_char(10) || 'If you have already paid, please accept our thanks and disregard this notice.'
    || ascii_char(10) || ascii_char(10) || 'Kind regards,' || ascii_char(10) || 'The Management Office',
    'Late rent and charges');
insert into mail (mailid, subject, intro, signoff, label) values (2,
    'Your lease is coming up for renewal',
    'Dear Tenant,' || ascii_char(10) || ascii_char(10) ||
    'This is a friendly reminder that your lease will soon come to an end. '
    || 'If you would like to renew, please let the office know so that we can prepare the paperwork.'
    || ascii_char(10),
    ascii_char(10) || 'We value you as a tenant and look forward to hearing from you.'
    || ascii_char(10) || ascii_char(10) || 'Kind regards,' || ascii_char(10) || 'The Management Office',
    'Lease reminder');
insert into mail (mailid, subject, intro, signoff, label) values (3,
    'A message from the management office',
    'Dear Tenant,' || ascii_char(10),
    ascii_char(10) || 'Kind regards,' || ascii_char(10) || 'The Management Office',
    'Custom notice');

-- Letters 1 to 3 come with the system; custom letters follow them. Merge fields are written the way
-- the letter editor stores them: <<<name>>> HTML-escaped inside the body.
insert into letters (lid, title, body) values (1, 'Late Rent and Bills',
'<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0//EN" "http://www.w3.org/TR/REC-html40/strict.dtd">
<html><head><meta name="qrichtext" content="1" /><style type="text/css">
p, li { white-space: pre-wrap; }
</style></head><body style=" font-family:''Times New Roman''; font-size:11pt; font-weight:400; font-style:normal;">
<p align="right">&lt;&lt;&lt;Full Date&gt;&gt;&gt;</p>
<p>&lt;&lt;&lt;Tenant fullname&gt;&gt;&gt;<br />&lt;&lt;&lt;Tenant Address&gt;&gt;&gt;<br />&lt;&lt;&lt;Tenant city&gt;&gt;&gt;, &lt;&lt;&lt;Tenant State&gt;&gt;&gt; &lt;&lt;&lt;Tenant zip/postal code&gt;&gt;&gt;</p>
<p><span style=" font-weight:600;">Re: Overdue rent and charges, apartment &lt;&lt;&lt;Tenant Apartment&gt;&gt;&gt;, &lt;&lt;&lt;Tenant Building Description&gt;&gt;&gt;</span></p>
<p>Dear &lt;&lt;&lt;Tenant fullname&gt;&gt;&gt;,</p>
<p>Our records show that your account is not up to date: rent or charges that have fallen due on it remain unpaid. The office will send you a statement of your full balance on request.</p>
<p>The amounts below are only the charges for &lt;&lt;&lt;Month&gt;&gt;&gt; &lt;&lt;&lt;Year&gt;&gt;&gt; that are still open. They do not include anything left unpaid from earlier months, so they are not the full balance of your account. Where no rent has been charged for this month yet, the rent line is left blank.</p>
<p>Rent for this month still open: &lt;&lt;&lt;This Month Rent Due&gt;&gt;&gt;<br />Other charges for this month still open: &lt;&lt;&lt;This Month Other Charges Due&gt;&gt;&gt;<br /><span style=" font-weight:600;">All charges for this month still open: &lt;&lt;&lt;This Month All Charges Due&gt;&gt;&gt;</span></p>
<p>Your last payment was received on &lt;&lt;&lt;Last Payment Date&gt;&gt;&gt;. Under your rental agreement a late fee of &lt;&lt;&lt;Late Fee Base Rate&gt;&gt;&gt; applies, plus &lt;&lt;&lt;Late Fee Per Day&gt;&gt;&gt; for each further day the rent remains unpaid.</p>
<p>Please pay everything that is overdue on your account within five days of the date of this letter, or contact the office to discuss your account. If you have already paid, please accept our thanks and disregard this letter.</p>
<p>Sincerely,</p>
<p>&lt;&lt;&lt;Owner fullname&gt;&gt;&gt;<br />&lt;&lt;&lt;Owner Address&gt;&gt;&gt;<br />&lt;&lt;&lt;Owner city&gt;&gt;&gt;, &lt;&lt;&lt;Owner State&gt;&gt;&gt; &lt;&lt;&lt;Owner zip/postal code&gt;&gt;&gt;<br />Tel: &lt;&lt;&lt;Owner Tel&gt;&gt;&gt;</p>
</body></html>');

insert into letters (lid, title, body) values (2, 'Rental Agreement',
'<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0//EN" "http://www.w3.org/TR/REC-html40/strict.dtd">
<html><head><meta name="qrichtext" content="1" /><style type="text/css">
p, li { white-space: pre-wrap; }
</style></head><body style=" font-family:''Times New Roman''; font-size:11pt; font-weight:400; font-style:normal;">
<p align="center"><span style=" font-size:16pt; font-weight:600;">RESIDENTIAL RENTAL AGREEMENT</span></p>
<p>This agreement is made on &lt;&lt;&lt;Full Date&gt;&gt;&gt; between &lt;&lt;&lt;Owner fullname&gt;&gt;&gt; (owner code &lt;&lt;&lt;Owner Code&gt;&gt;&gt;), hereafter the Landlord, and &lt;&lt;&lt;Tenant fullname&gt;&gt;&gt; (tenant ID &lt;&lt;&lt;Tenant ID&gt;&gt;&gt;), hereafter the Tenant.</p>
<p><span style=" font-weight:600;">1. Premises.</span> The Landlord lets to the Tenant apartment &lt;&lt;&lt;Tenant Apartment&gt;&gt;&gt; of &lt;&lt;&lt;Tenant Building Description&gt;&gt;&gt;, &lt;&lt;&lt;Tenant Building Address&gt;&gt;&gt;.</p>
<p><span style=" font-weight:600;">2. Term.</span> The lease begins on &lt;&lt;&lt;Lease Start&gt;&gt;&gt; and ends on &lt;&lt;&lt;Lease End&gt;&gt;&gt;. The Tenant may move in on &lt;&lt;&lt;Move In Date&gt;&gt;&gt;.</p>
<p><span style=" font-weight:600;">3. Rent.</span> The rent is &lt;&lt;&lt;Rent&gt;&gt;&gt; per period, payable in advance. The first payment is due on &lt;&lt;&lt;Next Rent&gt;&gt;&gt;.</p>
<p><span style=" font-weight:600;">4. Deposit.</span> The Tenant pays a lease and damage deposit of &lt;&lt;&lt;Lease/Damage Deposit&gt;&gt;&gt;, which the Landlord holds until the end of the lease and returns less the cost of any damage beyond normal wear and tear.</p>
<p><span style=" font-weight:600;">5. Late payment.</span> Rent not received when due carries a late fee of &lt;&lt;&lt;Late Fee Base Rate&gt;&gt;&gt; plus &lt;&lt;&lt;Late Fee Per Day&gt;&gt;&gt; for each day it remains unpaid.</p>
<p><span style=" font-weight:600;">6. Use and care.</span> The Tenant shall use the premises as a private dwelling only, keep them clean and in good order, and report any damage or needed repair to the Landlord without delay.</p>
<p><span style=" font-weight:600;">7. Notices.</span> Notices to the Tenant are sent to the premises; notices to the Landlord to &lt;&lt;&lt;Owner Address&gt;&gt;&gt;, &lt;&lt;&lt;Owner city&gt;&gt;&gt;, &lt;&lt;&lt;Owner State&gt;&gt;&gt; &lt;&lt;&lt;Owner zip/postal code&gt;&gt;&gt;.</p>
<p><br /></p>
<p>_____________________________ Landlord&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;_____________________________ Tenant</p>
<p>&lt;&lt;&lt;Owner fullname&gt;&gt;&gt;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&#160;&lt;&lt;&lt;Tenant fullname&gt;&gt;&gt;</p>
</body></html>');

insert into letters (lid, title, body) values (3, 'Lease Renewal Notice',
'<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0//EN" "http://www.w3.org/TR/REC-html40/strict.dtd">
<html><head><meta name="qrichtext" content="1" /><style type="text/css">
p, li { white-space: pre-wrap; }
</style></head><body style=" font-family:''Times New Roman''; font-size:11pt; font-weight:400; font-style:normal;">
<p align="right">&lt;&lt;&lt;Full Date&gt;&gt;&gt;</p>
<p>&lt;&lt;&lt;Tenant fullname&gt;&gt;&gt;<br />&lt;&lt;&lt;Tenant Address&gt;&gt;&gt;<br />&lt;&lt;&lt;Tenant city&gt;&gt;&gt;, &lt;&lt;&lt;Tenant State&gt;&gt;&gt; &lt;&lt;&lt;Tenant zip/postal code&gt;&gt;&gt;</p>
<p>Dear &lt;&lt;&lt;Tenant fullname&gt;&gt;&gt;,</p>
<p>Your lease of apartment &lt;&lt;&lt;Tenant Apartment&gt;&gt;&gt; at &lt;&lt;&lt;Tenant Building Description&gt;&gt;&gt; ends on &lt;&lt;&lt;Lease End&gt;&gt;&gt;. We would be pleased to have you stay with us and invite you to renew it.</p>
<p>Please let the office know before the end of your lease whether you intend to renew or to move out, so that we can prepare a new agreement or arrange the final inspection and the return of your deposit of &lt;&lt;&lt;Lease/Damage Deposit&gt;&gt;&gt;.</p>
<p>Thank you for being our tenant.</p>
<p>Sincerely,</p>
<p>&lt;&lt;&lt;Owner fullname&gt;&gt;&gt;<br />Tel: &lt;&lt;&lt;Owner Tel&gt;&gt;&gt;<br />&lt;&lt;&lt;Owner Email&gt;&gt;&gt;</p>
</body></html>');

-- Built-in frequencies: the program fixes the period of keys 1 to 9 itself; days is what the list
-- shows and what any frequency beyond them lasts.
insert into frequency (freqid, name, description, days, sysflag) values (1, 'Bi-Weekly', 'Every two weeks', 14, 1);
insert into frequency (freqid, name, description, days, sysflag) values (2, 'Semi-Annually', 'Every six months', 182, 1);
insert into frequency (freqid, name, description, days, sysflag) values (3, 'Monthly', 'Every month', 30, 1);
insert into frequency (freqid, name, description, days, sysflag) values (4, 'Quarterly', 'Every three months', 91, 1);
insert into frequency (freqid, name, description, days, sysflag) values (5, 'Weekly', 'Every week', 7, 1);
insert into frequency (freqid, name, description, days, sysflag) values (6, 'Annually', 'Every year', 365, 1);
insert into frequency (freqid, name, description, days, sysflag) values (7, 'Every 2 Years', 'Every two years', 730, 1);
insert into frequency (freqid, name, description, days, sysflag) values (8, 'Every 3 Years', 'Every three years', 1095, 1);
insert into frequency (freqid, name, description, days, sysflag) values (9, 'Every 5 Years', 'Every five years', 1826, 1);

-- Cashbook categories. 5 (Rent) and 7 (Rent Late Fee) are the ones rent collection books into, since
-- a lease's rent bill has the type "Rent" and its late fees "Rent Late Fee"; the list protects them.
insert into categories (catid, name, description, type) values (1, 'Repairs', 'Repairs and maintenance work', 0);
insert into categories (catid, name, description, type) values (2, 'Utilities', 'Electricity, gas and water', 0);
insert into categories (catid, name, description, type) values (3, 'Insurance', 'Building insurance premiums', 0);
insert into categories (catid, name, description, type) values (4, 'Property Tax', 'Municipal property tax', 0);
insert into categories (catid, name, description, type) values (5, 'Rent', 'Rent collected from tenants', 1);
insert into categories (catid, name, description, type) values (6, 'Parking', 'Parking space rental', 1);
insert into categories (catid, name, description, type) values (7, 'Rent Late Fee', 'Late fees on overdue rent', 1);
insert into categories (catid, name, description, type) values (8, 'Laundry', 'Coin laundry income', 1);
insert into categories (catid, name, description, type) values (9, 'Supplies', 'Cleaning and office supplies', 0);
insert into categories (catid, name, description, type) values (10, 'Management Fees', 'Fees paid for property management', 0);

insert into ccards (ccid, name) values (1, 'Visa');
insert into ccards (ccid, name) values (2, 'MasterCard');
insert into ccards (ccid, name) values (3, 'American Express');
insert into ccards (ccid, name) values (4, 'Discover');

insert into leases (leaseid, name) values (1, 'Month to Month');
insert into leases (leaseid, name) values (2, '6 Months');
insert into leases (leaseid, name) values (3, '1 Year');
insert into leases (leaseid, name) values (4, '2 Years');

-- New keys continue above the delivered rows.
set generator gen_users_id to 1;
set generator gen_setup_id to 18;
set generator gen_mail_id to 3;
set generator gen_letters_id to 3;
set generator gen_frequency_id to 9;
set generator gen_categories_id to 10;
set generator gen_ccards_id to 4;
set generator gen_leases_id to 4;

commit;

-- The layout these scripts make: charges name the recurring bill that posted them and the line it
-- shows, and every lease saved is kept with the lines it took over and the periods agreed to.
insert into filelevel (fileversion) values (5);
-- The cashbook's totals, kept by its trigger from here on.
insert into cashbooktotals (expense, income) values (0, 0);
