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
# Each suite keeps its temporary files in a folder of its own, so that
# suites running in parallel do not share file names.
set ::dbldtest::tmp [file join [pwd] tmp_[file rootname [file tail [lindex $argv 0]]]_[pid]]
file mkdir $::dbldtest::tmp
::tcltest::configure -verbose {body error} -testdir [file dirname [lindex $argv 0]] \
    -tmpdir $::dbldtest::tmp
source [file join [file dirname [info script]] helpers.tcl]
source [lindex $argv 0]
file delete -force $::dbldtest::tmp
exit [expr {$::dbldtest::failed > 0}]
