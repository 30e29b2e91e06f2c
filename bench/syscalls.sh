#!/usr/bin/env bash
# The system calls vuelco-cli makes on the file itself for one probe and one rewrite
# (--a-emulador on one arcade file), beside the least a safe job needs. The loader's and
# the terminal's calls are left out: only calls on the file's path or descriptor count.
set -euo pipefail

cli=${1:?usage: syscalls.sh PATH-TO-vuelco-cli}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
file="$folder/header.dat"
printf 'RES\0\2\0\0\0\x11\x22\x33\x44\x55\x66\x77\x88' >"$file"

echo "== System calls of one probe and one rewrite (vuelco-cli --a-emulador) =="
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)"

echo "-- strace -c -f, whole process (start-up included) --"
strace -c -f -o "$folder/summary.txt" "$cli" --a-emulador "$file" >/dev/null
cat "$folder/summary.txt"

# The least a safe job needs on the file, by call, given whether it converts (1) or only
# looks (0): a read-only look (open, the header read, close); to convert, the same file
# opened again for writing through its descriptor, the lock, the header read again under
# the lock, the write, the flush and the second close.
least_of() {
    local converts=$2
    case "$1" in
    openat | open) echo $((1 + converts)) ;;
    pread64 | read) echo $((1 + converts)) ;;
    pwrite64 | write) echo "$converts" ;;
    fsync | fdatasync) echo "$converts" ;;
    fcntl) echo "$converts" ;; # the conversion lock (F_OFD_SETLK)
    close) echo $((1 + converts)) ;;
    *) echo 0 ;;
    esac
}

why_of() {
    case "$1" in
    newfstatat | fstat | statx) echo "the open handle's type, mode and identity; in a conversion also, after the flush, whether the path still names the file written" ;;
    *) echo "unexpected" ;;
    esac
}

# Counts the calls on the file for one run of vuelco-cli with the given options; the second
# argument says whether the least possible job converts the file (1) or only looks (0).
count_calls() {
    local title=$1 converts=$2
    shift 2
    printf 'RES\0\2\0\0\0\x11\x22\x33\x44\x55\x66\x77\x88' >"$file"
    # -y names each descriptor's file: the file's calls are those naming its path or using a
    # descriptor on it (not the start-up's execve, nor the report written to standard output).
    strace -f -y -e trace=file,desc -o "$folder/trace.txt" "$cli" "$@" "$file" >/dev/null
    # strace writes AT_FDCWD as AT_FDCWD<folder>, so a call by path is found by its quoted path.
    grep -F -e "<$file>" -e "\"$file\"" "$folder/trace.txt" | grep -Ev '^([0-9]+ +)?execve\(' |
        sed -E 's/^([0-9]+ +)?([a-z0-9_]+)\(.*/\2/' | sort | uniq -c | awk '{ print $2, $1 }' >"$folder/counts.txt"

    echo "-- $title: calls on the file, vuelco-cli beside the least possible --"
    printf '%-12s %10s %10s\n' call vuelco-cli least
    local call count least total=0 extra=()
    while read -r call count; do
        least=$(least_of "$call" "$converts")
        printf '%-12s %10d %10d\n' "$call" "$count" "$least"
        total=$((total + count))
        if ((count > least)); then
            extra+=("$call x$((count - least)) ($(why_of "$call"))")
        fi
    done <"$folder/counts.txt"
    printf '%-12s %10d\n' total "$total"
    if ((${#extra[@]} == 0)); then
        echo "no call beyond the least"
    else
        printf 'beyond the least: %s\n' "${extra[@]}"
    fi
}

count_calls "probe and rewrite (vuelco-cli --a-emulador FILE)" 1 --a-emulador
count_calls "probe alone (vuelco-cli FILE)" 0
