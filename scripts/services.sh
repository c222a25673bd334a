#!/usr/bin/env bash
# Starts what the tests need when it is not already there: an X server, a
# session D-Bus, a private stand-in for the system D-Bus and a PulseAudio
# daemon with the null sink "rec". Whatever is
# started here is stopped by tovaline_stop_services. Sourced by scripts/test.

TOVALINE_STARTED_PIDS=()
TOVALINE_LOADED_MODULE=""
TOVALINE_TMP=""

tovaline_wait_for() {
    # $1 what, $2.. command that succeeds once it is up
    local what="$1"
    shift
    local i
    for i in $(seq 1 100); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    echo "error: $what did not come up" >&2
    return 1
}

tovaline_start_services() {
    TOVALINE_TMP="$(mktemp -d /tmp/tovaline-test.XXXXXX)"
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ] || [ ! -w "${XDG_RUNTIME_DIR}" ]; then
        export XDG_RUNTIME_DIR="$TOVALINE_TMP/run"
        mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    fi
    if [ "${CI:-}" = "true" ] || [ -z "${HOME:-}" ] || [ ! -w "${HOME:-/nonexistent}" ]; then
        export HOME="$TOVALINE_TMP/home"
        mkdir -p "$HOME"
    fi

    # X server
    if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        local n=99
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        # -noreset: by default the server resets whenever its last client
        # leaves, and a program connecting during the reset is refused. The
        # tests start and close programs and xdotool one after another, so a
        # window could fail to open now and then.
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$TOVALINE_TMP/xvfb.log" 2>&1 &
        TOVALINE_STARTED_PIDS+=($!)
        export DISPLAY=":$n"
        tovaline_wait_for "Xvfb" xdpyinfo
    fi

    # Session bus
    if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || ! dbus-send --session --dest=org.freedesktop.DBus \
        --type=method_call --print-reply /org/freedesktop/DBus org.freedesktop.DBus.ListNames >/dev/null 2>&1; then
        local bus="$TOVALINE_TMP/bus"
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$bus" >"$TOVALINE_TMP/dbus.log" 2>&1 &
        TOVALINE_STARTED_PIDS+=($!)
        export DBUS_SESSION_BUS_ADDRESS="unix:path=$bus"
        tovaline_wait_for "D-Bus" test -S "$bus"
    fi

    # A private "system" bus: a recording asks the system bus for a sleep
    # inhibitor, and the tests must never reach the machine's own.
    if [ -z "${DBUS_SYSTEM_BUS_ADDRESS:-}" ]; then
        local sysbus="$TOVALINE_TMP/system_bus"
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$sysbus" >"$TOVALINE_TMP/dbus-system.log" 2>&1 &
        TOVALINE_STARTED_PIDS+=($!)
        export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$sysbus"
        tovaline_wait_for "system D-Bus" test -S "$sysbus"
    fi

    # Sound server with the null sink "rec"
    if ! pactl info >/dev/null 2>&1; then
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
            --load=module-native-protocol-unix \
            --load="module-null-sink sink_name=rec sink_properties=device.description=RecSink" \
            >"$TOVALINE_TMP/pulse.log" 2>&1 &
        TOVALINE_STARTED_PIDS+=($!)
        tovaline_wait_for "PulseAudio" pactl info
    elif ! pactl list short sinks | awk '{print $2}' | grep -qx rec; then
        TOVALINE_LOADED_MODULE="$(pactl load-module module-null-sink sink_name=rec sink_properties=device.description=RecSink)"
    fi
    # Tests play into "rec" and record its monitor.
    pactl set-default-sink rec || true
    pactl set-default-source rec.monitor || true
}

tovaline_stop_services() {
    if [ -n "$TOVALINE_LOADED_MODULE" ]; then
        pactl unload-module "$TOVALINE_LOADED_MODULE" >/dev/null 2>&1 || true
    fi
    local pid
    for pid in "${TOVALINE_STARTED_PIDS[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    for pid in "${TOVALINE_STARTED_PIDS[@]}"; do
        wait "$pid" >/dev/null 2>&1 || true
    done
    TOVALINE_STARTED_PIDS=()
    if [ -n "$TOVALINE_TMP" ]; then
        rm -rf "$TOVALINE_TMP"
    fi
}
