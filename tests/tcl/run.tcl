# Runs one tcltest suite and exits non-zero when any of its cases failed.
#   DBLD_BUILD_DIR=build tclsh8.6 tests/tcl/run.tcl tests/tcl/kalvora.test
# Environment:
#   DBLD_BUILD_DIR   the build folder holding the modules, pkgIndex.tcl and
#                    dbldinfo (required)
#   DBLD_SOURCE_DIR  the source tree, for the suites that read the bundled
#                    recordings in data/seated (optional: by default the tree
#                    this script belongs to)
package require tcltest 2
if {![info exists ::env(DBLD_SOURCE_DIR)]} {
    set ::env(DBLD_SOURCE_DIR) [file dirname [file dirname [file dirname \
        [file normalize [info script]]]]]
}
namespace eval ::dbldtest {
    variable failed 0
    variable build [file normalize $::env(DBLD_BUILD_DIR)]
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
