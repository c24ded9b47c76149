# The BENCH conversion written by hand in gawk: LC_ALL=C gawk -f convert.awk SRC > DST
BEGIN {
    FS = ";"; ORS = "\r\n"
    for (k = 0; k < 20; k++) konto[4000 + 10 * k] = 8400 + 10 * k
}
{
    sub(/\r$/, "")
    # running number: stays while the same non-empty branch repeats
    if (NR == 1) lfd = 1
    else if ($2 == "" || $2 != branch) lfd++
    branch = $2
    # cost centre: the last non-empty one
    if (NR == 1 || $6 != "") kst = $6
    if (length(kst) > 8) kst = substr(kst, length(kst) - 7)
    acct = ($1 in konto) ? konto[$1] : $1
    amount = $4; sub(/,/, ".", amount)
    betrag = sprintf("%+013.2f", amount); sub(/\./, ",", betrag)
    cents = betrag; sub(/,/, "", cents); total += cents
    text = $5; sub(/^ +/, "", text); sub(/ +$/, "", text)
    printf "%6d;\"F-%s\";%s;\"%s\";%s;\"%s\";\"%8s\";\"%s\";\"EUR\"\r\n", \
        lfd, $2, substr($3, 7, 2) substr($3, 5, 2) substr($3, 1, 4), acct, betrag, text, kst, $7
}
END {
    if (NR == 0) exit
    sign = total < 0 ? "-" : ""; total = total < 0 ? -total : total
    units = int(total / 100); rest = sprintf("%02d", total - units * 100); sub(/0+$/, "", rest)
    print "Pr\374fsumme:"
    print "BETRAG (Summe): " sign units (rest == "" ? "" : "," rest)
    print "BELEG (Anzahl): " NR
}
