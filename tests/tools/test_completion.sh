#!/usr/bin/env bash
# Bash completion as a user gets it on Tab: options from the program's --help, receiver
# devices after garmin:, the routes of a volume after FILE.cdb:, the commands of vexa-maps.
# test_completion.sh COMPLETION_FILE VEXA_CONVERT VEXA_MAPS
set -u
. /usr/share/bash-completion/bash_completion
. "$1"

# The words as bash splits them (at ':' too): the completions of the last one.
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE=$(printf '%s ' "$@" | sed 's/ : /:/g; s/ :$/:/; s/ $//')
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _vexa_programs "$1" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    echo "${COMPREPLY[*]}"
}

failed=0
expect() {  # what, got, pattern
    [[ $2 == $3 ]] || { echo "$1: got '$2', expected '$3'"; failed=1; }
}
expect "long option" "$(complete_words "$2" --na)" "--name"
expect "option value" "$(complete_words "$2" in.kml out.gpx --name=)" ""
expect "garmin device" "$(complete_words "$2" in.kml garmin : /dev/tty)" "/dev/tty*"
volume=$(mktemp -d)
trap 'rm -rf "$volume"' EXIT
printf '<kml><LineString><coordinates>9.5,53.25 9.75,53.5</coordinates></LineString></kml>' > "$volume/in.kml"
for name in Elbe 'Alte Weser' Aller; do "$2" -q "$volume/in.kml" "$volume/r.cdb:$name"; done
expect "route names" "$(complete_words "$2" in.kml "$volume/r.cdb" : Al)" 'Aller Alte\\ Weser'
expect "route names at ~" "$(HOME=$volume complete_words "$2" in.kml '~/r.cdb' : E)" 'Elbe'
expect "maps command" "$(complete_words "$3" i)" "import info"
exit $failed
