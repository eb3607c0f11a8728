# Where plant.sh puts the specimen variants and how it runs them; the names
# match remnants.reg. Sourced.
# shellcheck shell=bash

PROGRAM_FILES='C:\Program Files'
RULE1="$PROGRAM_FILES\\MarbleFox\\specimen-rule1.exe"           # alone in its folder
RULE2="$PROGRAM_FILES\\MarbleFox Toolbar\\specimen-rule2.exe"   # beside a readme that stays
RULE3="$PROGRAM_FILES\\LaunchPad Helper\\specimen-rule3.exe"
RULE4="$PROGRAM_FILES\\MFX Shell\\specimen-rule4.exe"
RULE5="$PROGRAM_FILES\\Active Installer\\specimen-rule5.exe"
CAPITALS="$PROGRAM_FILES\\Specimen Negatives\\specimen-capitals.exe"
WIDE="$PROGRAM_FILES\\Specimen Negatives\\specimen-wide.exe"
HALF="$PROGRAM_FILES\\Specimen Negatives\\specimen-half.exe"
TOOLBAR_README="$PROGRAM_FILES\\MarbleFox Toolbar\\readme.txt"

# The control's downloaded files listed in the Code Store entry: the first
# exists, the second does not.
DPF_PRESENT='C:\windows\Downloaded Program Files\ainst.ocx'
DPF_MISSING='C:\windows\Downloaded Program Files\ainst.inf'

# Processes started, in order: rule 1 twice, every other variant once.
POSITIVE_PROCESSES=("$RULE1" "$RULE1" "$RULE2" "$RULE3" "$RULE4" "$RULE5")
NEGATIVE_PROCESSES=("$CAPITALS" "$WIDE" "$HALF")
