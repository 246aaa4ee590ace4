# Runs one tcltest suite and exits non-zero when any of its cases failed.
#   tclsh run.tcl suite.test
# DBLD_BUILD_DIR names the build folder holding the modules and pkgIndex.tcl.
package require tcltest 2
namespace eval ::dbldtest {
    variable failed 0
    variable build $::env(DBLD_BUILD_DIR)
}
proc ::tcltest::cleanupTestsHook {} {
    set ::dbldtest::failed $::tcltest::numTests(Failed)
}
lappend auto_path $::dbldtest::build
::tcltest::configure -verbose {body error} -testdir [file dirname [lindex $argv 0]]
source [file join [file dirname [info script]] helpers.tcl]
source [lindex $argv 0]
exit [expr {$::dbldtest::failed > 0}]
