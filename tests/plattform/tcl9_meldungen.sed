# Tcl's own messages that Tcl 9 words otherwise than Tcl 8.6, as the
# comparison driver (vergleich.tcl) prints them: this maps the output under
# Tcl 8.6 to Tcl 9's words (tcl9_vergleich.sh).  The list of the docs
# (README, "Tcl 9").
#
# A value that is a list of more than one element where a number is
# expected: Tcl 8.6 quotes the value, Tcl 9 calls it a list.
s/: error: expected \(integer\|floating-point number\) but got "[^" ]\+ [^"]*"$/: error: expected \1 but got a list/
