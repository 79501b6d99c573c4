# Sourced by the scripts that need a private X server.
# start_xvfb FILE: starts Xvfb on a free display, records the display number
# in FILE, exports DISPLAY and sets xvfb_pid; returns 1 if it does not come up.
start_xvfb() {
    local file=$1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    if [ ! -s "$file" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$file")"
}
