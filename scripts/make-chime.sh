#!/usr/bin/env bash
# Makes assets/sys.mp3, the start-up chime: four soft bell tones rising (C5 E5 G5 C6), each with
# a long decay, about four seconds in all. Needs sox with MP3 support
# (apt-get install sox libsox-fmt-mp3).
set -euo pipefail
out=${1:-"$(dirname "$0")/../assets/sys.mp3"}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i=0
for f in 523.25 659.25 783.99 1046.5; do
    # a bell: the fundamental, a quieter octave partial, and an exponential-ish fade
    sox -n -r 44100 -c 2 "$tmp/n$i.wav" synth 2.2 sine "$f" sine "$(echo "$f*2.76" | bc -l)" \
        remix - fade q 0.005 2.2 2.0 gain -12 pad "$(echo "$i*0.45" | bc -l)"
    i=$((i + 1))
done
sox -m "$tmp"/n*.wav "$tmp/mix.wav" gain -n -3 reverb 30 fade 0 -0 0.3
sox "$tmp/mix.wav" -C 128 "$out"
soxi "$out"
