# The station package: its short std analysis of the first frame of each
# recording, and the string cipher.  Runs in an interpreter of its own, as
# the station's ::druckbild::analyse would replace the full command of the
# Druckbildanalyse package in this one.
::aufnahme::stationsinterp station $build

ueberschrift "Station (Kmqstationd [station eval {package present Kmqstationd}])"
puts [format "%-6s %-15s %-15s %6s" Person "Schwerpkt links" "Schwerpkt rechts" SkA]
puts [string repeat "-" 46]
foreach {name bilder} [aufnahmen] {
    lassign [lindex $bilder 0] n_y n_x werte
    set s [station eval [list ::druckbild::analyse std $werte $n_y $n_x]]
    puts [format "%-6s (%5.2f, %5.2f)  (%5.2f, %5.2f)  %6.2f" $name \
              [dict get $s schwerpunkt1_x] [dict get $s schwerpunkt1_y] \
              [dict get $s schwerpunkt2_x] [dict get $s schwerpunkt2_y] \
              [dict get $s sitzknochenabstand]]
}
puts "std der Station: nur die beiden Schwerpunkte und der Sitzknochenabstand."

puts "\nVerschl\u00fcsselung mit dem festen Passwort (encrypt00 / decrypt00):"
foreach text [list "Sitzprobe u125" "Gr\u00fc\u00dfe aus der Messstation"] {
    set c [station eval [list ::kmqcrypt encrypt00 $text]]
    set p [station eval [list ::kmqcrypt decrypt00 $c]]
    puts "  Text:        $text"
    puts "  encrypt00:   $c"
    puts "  decrypt00:   $p ([expr {$p eq $text ? "gleich" : "VERSCHIEDEN"}])"
}

puts "\nAn diese Station gebunden (encrypt, Passwort = Adresse von eth0):"
if {[catch {station eval {::kmqcrypt encrypt "Sitzprobe u125"}} c]} {
    puts "  $c"
} else {
    puts "  encrypt:     $c"
    puts "  decrypt:     [station eval [list ::kmqcrypt decrypt $c]]"
}
interp delete station
