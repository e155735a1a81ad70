# shellcheck shell=bash disable=SC2154
# (The variables named below are run's, set before it sources this file.)
#
# The Cortex-M profiles of bench/arm/run, which sources this file: our
# decoder in both policies and its peers on a Cortex-M0+, M4 or M7 under
# qemu-system-arm, counted by a TCG plugin (insn_count_plugin.c), with cycle
# estimates from the executed instruction mix for the M0+ and the M4.
#
# It uses run's variables and helpers: top, work, images, base_flags,
# measured_cases, case_label, case_peer, peer_label, reference_checksum,
# need_tool, need_header, peer_file, per_pixel.

# The machine that runs each core's code: the M0+'s on the mps2-an385's
# Cortex-M3, which runs ARMv6-M code instruction for instruction (the counts
# are the M0+'s; the start-up makes the M3 trap unaligned accesses).
cortex_m_machine() {
  case $1 in
    cortex-m0plus) echo mps2-an385 ;;
    cortex-m4) echo mps2-an386 ;;
    cortex-m7) echo mps2-an500 ;;
  esac
}

cortex_m_linker_script() {
  if [[ $1 == cortex-m7 ]]; then
    echo "$top/tests/cortex-m/mps2-an500.ld"
  else
    echo "$top/tests/cortex-m/mps2-an385.ld"
  fi
}

# The goal of a case's ratio to its peer, where one is set.
cortex_m_goal() { # profile, policy, case
  case "$1 $2 $3" in
    "cortex-m4 speed predictive-101-q0") echo 0.35 ;;
    "cortex-m4 speed fast-201-q0") echo 0.25 ;;
    "cortex-m4 speed transform-101-q24") echo 0.55 ;;
    "cortex-m0plus speed predictive-101-q0") echo 0.45 ;;
    "cortex-m0plus speed fast-201-q0") echo 0.35 ;;
    "cortex-m0plus speed transform-101-q24") echo 0.65 ;;
    "cortex-m0plus small "*)
      [[ $3 == predictive-101-q0 || $3 == fast-201-q0 || $3 == transform-101-q24 ]] && echo 1.0
      ;;
  esac
  return 0
}

cortex_m_check_tools() {
  need_tool arm-none-eabi-gcc gcc-arm-none-eabi
  need_tool qemu-system-arm qemu-system-arm
  [[ -f /usr/lib/arm-none-eabi/newlib/thumb/v6-m/nofp/librdimon_nano.a ]] || {
    echo "run: newlib-nano's semihosting library is missing; install Debian's libnewlib-arm-none-eabi" >&2
    exit 1
  }
}

# The counting plugin, with the host's compiler.
cortex_m_build_counter() {
  cc -std=c11 -O2 -Wall -Wextra -shared -fPIC "$top/bench/arm/insn_count_plugin.c" \
    -o "$work/insn_count.so"
}

# Bytes of code and constant data a program that calls vexo_decode and
# nothing else takes from the archive (linked with --gc-sections), as
# scripts/footprint counts them.
cortex_m_library_code() { # folder, archive, flags...
  local folder=$1 archive=$2
  shift 2
  printf '#include "vexo.h"\nint main(int argc, char** argv) {\n  return vexo_decode((const uint8_t*)argv[0], (size_t)argc, (uint16_t*)argv[1], (size_t)argc, 0,\n                     argv[2], (size_t)argc, 0);\n}\n' \
    > "$folder/probe.c"
  arm-none-eabi-gcc "$@" -Os -I "$top/decoder/include" "$folder/probe.c" "$archive" -nostartfiles \
    -Wl,-e,main -Wl,--gc-sections -Wl,-Map="$folder/probe.map" -o "$folder/probe.elf"
  awk 'function hex(s,   v, i) {
         s = tolower(substr(s, 3)); v = 0
         for (i = 1; i <= length(s); ++i) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
         return v
       }
       /Linker script and memory map/ { kept = 1; next }
       !kept { next }
       pending != "" { $0 = pending " " $0; pending = "" }
       /^ \.(text|rodata|data)/ && NF == 1 { pending = $0; next }
       /^ \.(text|rodata|data)/ && /libvexo_decoder\.a\(/ { total += hex($3) }
       END { print total + 0 }' "$folder/probe.map"
}

# build-arm/PROFILE: the library of each policy from the profile's preset,
# as a firmware gets it (speed: the preset; small: -DVEXO_DECODER_SMALL=ON),
# and arm_driver linked with each, the peers and the driver compiled with
# the preset's C flags at the base flags.
cortex_m_build() { # profile
  local profile=$1 out="$top/build-arm/$1" policy small source flags common objects
  for policy in speed small; do
    small=OFF
    [[ $policy == small ]] && small=ON
    # Configured with its tests, which bring the C compiler's flags into
    # the cache; only the library is built.
    (cd "$top" && cmake --preset "$profile" -B "$out/$policy" -DBUILD_TESTING=ON -DVEXO_DECODER_SMALL=$small \
      > /dev/null &&
      cmake --build "$out/$policy" -j 2 --target vexo_decoder > /dev/null)
  done
  read -ra flags <<< "$(sed -n 's/^CMAKE_C_FLAGS:STRING=//p' "$out/speed/CMakeCache.txt")"
  cortex_m_flags=("${flags[@]}")
  rm -rf "$out/objects" "$out/include" && mkdir -p "$out/objects" "$out/include/stb"
  # The peers' headers alone, not the build machine's C library beside them.
  cp /usr/include/qoi.h "$out/include/" && cp /usr/include/stb/stb_image.h "$out/include/stb/"
  common=("${flags[@]}" -std=c99 "${base_flags[@]}" -I "$top/decoder/include" -I "$top/tests/cortex-m")
  # No thread-local storage without an operating system.
  for source in peer_qoi peer_jpeg; do
    arm-none-eabi-gcc "${common[@]}" -DSTBI_NO_THREAD_LOCALS -I "$out/include" \
      -c "$top/bench/arm/$source.c" -o "$out/objects/$source.o"
  done
  arm-none-eabi-gcc "${common[@]}" -Dmain=arm_driver_main -c "$top/bench/arm/arm_driver.c" \
    -o "$out/objects/arm_driver.o"
  arm-none-eabi-gcc "${common[@]}" -c "$top/bench/arm/cortex_m_driver.c" -o "$out/objects/cortex_m_driver.o"
  for source in startup semihosting; do
    arm-none-eabi-gcc "${common[@]}" -c "$top/tests/cortex-m/$source.c" -o "$out/objects/$source.o"
  done
  objects=("$out"/objects/*.o)
  for policy in speed small; do
    arm-none-eabi-gcc "${flags[@]}" --specs=rdimon.specs -nostartfiles -L "$top/tests/cortex-m" \
      -T "$(cortex_m_linker_script "$profile")" -Wl,--gc-sections "${objects[@]}" \
      "$out/$policy/decoder/libvexo_decoder.a" -lm -o "$out/driver-$policy.elf"
    cortex_m_code[$policy]=$(cortex_m_library_code "$out/$policy" \
      "$out/$policy/decoder/libvexo_decoder.a" "${flags[@]}")
  done
}

cortex_m_report_build() { # profile
  local profile=$1 arch
  # shellcheck disable=SC2086
  arch=$(arm-none-eabi-gcc "${cortex_m_flags[@]}" -dM -E - < /dev/null |
    awk '$2 ~ /^(__ARM_ARCH|__ARM_ARCH_ISA_THUMB|__ARM_FEATURE_DSP|__thumb__|__thumb2__)$/ {
           printf "%s%s=%s", sep, $2, $3; sep = " " }')
  echo "Profile $profile: run on qemu-system-arm's $(cortex_m_machine "$profile"), counted by a TCG plugin"
  echo "  our library from the preset $profile: speed policy at -O2, small policy" \
    "(VEXO_DECODER_SMALL=ON) at -Os; QOI, stb_image's JPEG and the driver at ${base_flags[*]};" \
    "all with ${cortex_m_flags[*]}"
  echo "  compiler targets: $arch"
  echo "  library code (a program calling vexo_decode, --gc-sections): speed ${cortex_m_code[speed]} bytes," \
    "small ${cortex_m_code[small]} bytes"
  cortex_m_describe_cycles "$profile"
}

# The plugin's counts of one run: "class count" lines.
cortex_m_run_counted() { # profile, driver, codec, file, decodes
  local log="$work/counts.$5"
  qemu-system-arm -machine "$(cortex_m_machine "$1")" -nographic -monitor none -serial none \
    -semihosting-config "enable=on,target=native,arg=arm_driver,arg=$3,arg=$4,arg=$5" \
    -plugin "$work/insn_count.so" -d plugin -D "$log" -kernel "$2" > /dev/null
  cat "$log"
}

# The counts of one decode: those of two decodes less those of one. A plain
# run first says why a decode fails, which the counted runs would hide.
cortex_m_count_decode() { # profile, driver, codec, file
  qemu-system-arm -machine "$(cortex_m_machine "$1")" -nographic -monitor none -serial none \
    -semihosting-config "enable=on,target=native,arg=arm_driver,arg=$3,arg=$4,arg=1" \
    -kernel "$2" > /dev/null
  paste -d ' ' <(cortex_m_run_counted "$1" "$2" "$3" "$4" 2) \
    <(cortex_m_run_counted "$1" "$2" "$3" "$4" 1) | awk '{ print $1, $2 - $4 }'
}

# The plugin's total against QEMU's own log of every instruction
# (-singlestep -d exec,nochain: one logged block per instruction) on one
# whole run.
cortex_m_check_counter() { # profile, driver, codec, file
  local counted logged
  counted=$(cortex_m_run_counted "$1" "$2" "$3" "$4" 1 | awk '$1 == "insns" { print $2 }')
  logged=$(qemu-system-arm -machine "$(cortex_m_machine "$1")" -nographic -monitor none -serial none \
    -semihosting-config "enable=on,target=native,arg=arm_driver,arg=$3,arg=$4,arg=1" \
    -singlestep -d exec,nochain -kernel "$2" 2>&1 > /dev/null | grep -c '^Trace')
  echo "  counter check (arm_driver $3 $(basename "$4") 1, the whole run): plugin $counted," \
    "-singlestep -d exec,nochain $logged"
  if [[ $counted != "$logged" ]]; then
    echo "run: the counting plugin disagrees with QEMU's log" >&2
    exit 1
  fi
}

# The cycle model, stated where the numbers are printed.
cortex_m_describe_cycles() { # profile
  case $1 in
    cortex-m0plus)
      cat << 'EOF'
  estimated cycles (an estimate: the executed instruction mix times the Cortex-M0+'s published
    timings, zero wait states, single-cycle multiplier): 1 per data-processing instruction and
    MULS; 2 per load or store; 1+N per LDM, STM, PUSH, POP of N registers, 3+N with the pc;
    B<cond> 2 taken, 1 not; B 2; BL 3; BX, BLX, MOV or ADD to the pc 2; MRS, MSR, barriers 3
EOF
      ;;
    cortex-m4)
      cat << 'EOF'
  estimated cycles (an estimate: the executed instruction mix times the Cortex-M4's published
    timings, zero wait states, P = 2 cycles of pipeline refill per taken branch, IT never
    folded): 1 per data-processing instruction, multiply and multiply-accumulate; SDIV, UDIV 7;
    a load 2, or 1 right after a load or store (their address dependency not checked); a store 1;
    LDRD, STRD 3; 1+N per LDM, STM, PUSH, POP of N registers, +P with the pc; B<cond> and CBZ
    1+P taken, 1 not; B, BL, BX, BLX, MOV or ADD to the pc 1+P; TBB, TBH 2+P; IT 1
EOF
      ;;
    *) echo "  no cycle estimate: a dual-issue core with caches and branch prediction" ;;
  esac
}

# Estimated cycles of one decode from its class counts (stdin), or nothing.
cortex_m_cycles() { # profile
  awk -v core="$1" '{ n[$1] = $2 }
    END {
      single = n["alu"] + n["multiply"] + n["it"] + n["other"]
      multiples = n["multiple"] + n["pop_pc"] + n["multiple_registers"]
      if (core == "cortex-m0plus") {
        c = single + 3 * n["system"] + n["divide"] + 2 * (n["load"] + n["load_after_access"] + n["store"]) \
          + 2 * n["dual"] + multiples + 2 * n["pop_pc"] + 2 * n["taken_branches"] \
          + n["untaken_branches"] + 2 * n["branch"] + 3 * n["call"] + 2 * n["indirect_branch"] \
          + 4 * n["table_branch"]
      } else if (core == "cortex-m4") {
        p = 2
        c = single + n["system"] + 7 * n["divide"] + 2 * n["load"] + n["load_after_access"] \
          + n["store"] + 3 * n["dual"] + multiples + p * n["pop_pc"] \
          + (1 + p) * (n["taken_branches"] + n["branch"] + n["call"] + n["indirect_branch"]) \
          + n["untaken_branches"] + (2 + p) * n["table_branch"]
      } else {
        exit
      }
      printf "%d\n", c
    }'
}

# Instructions and estimated cycles per pixel of one decode: "ipp cpp"
# (cpp "-" where there is no estimate).
cortex_m_per_pixel() { # profile, driver, codec, file, pixels
  local counts insns cycles
  counts=$(cortex_m_count_decode "$1" "$2" "$3" "$4")
  insns=$(awk '$1 == "insns" { print $2 }' <<< "$counts")
  cycles=$(cortex_m_cycles "$1" <<< "$counts")
  echo "$(per_pixel "$insns" "$5") $([[ -n $cycles ]] && per_pixel "$cycles" "$5" || echo -)"
}

# The lossless files must decode on the core to the host's 5-6-5 picture.
cortex_m_check_lossless() { # profile, policy, name
  local case_name got
  for case_name in predictive-101-q0 fast-201-q0; do
    got=$(qemu-system-arm -machine "$(cortex_m_machine "$1")" -nographic -monitor none -serial none \
      -semihosting-config "enable=on,target=native,arg=arm_driver,arg=vexo,arg=$work/$3.$case_name.vxo,arg=1,arg=check" \
      -kernel "$top/build-arm/$1/driver-$2.elf")
    if [[ $got != "${reference_checksum[$3]}" ]]; then
      echo "run: $3 $case_name decodes on $1 ($2) to $got, on the host to ${reference_checksum[$3]}" >&2
      exit 1
    fi
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-"; else printf "%.3f", a / b }'; }

# Prints one picture's tables (instructions, then estimated cycles, per
# pixel) and keeps its numbers for the means.
cortex_m_measure_picture() { # profile, name, pixels
  local profile=$1 name=$2 pixels=$3 out="$top/build-arm/$1" case_name peer policy
  local -A peer_pp ours_pp
  for policy in speed small; do cortex_m_check_lossless "$profile" "$policy" "$name"; done
  for case_name in "${measured_cases[@]}"; do
    peer=${case_peer[$case_name]}
    [[ -v peer_pp[$peer] ]] || peer_pp[$peer]=$(cortex_m_per_pixel "$profile" "$out/driver-speed.elf" \
      "$peer" "$work/$name.$(peer_file "$peer")" "$pixels")
    for policy in speed small; do
      ours_pp[$case_name.$policy]=$(cortex_m_per_pixel "$profile" "$out/driver-$policy.elf" \
        "${case_codec[$case_name]:-vexo}" "$work/$name.$(case_file "$case_name").vxo" "$pixels")
    done
    if [[ $name == *-176x144 ]]; then
      cortex_m_results+=("$case_name ${ours_pp[$case_name.speed]} ${ours_pp[$case_name.small]} ${peer_pp[$peer]}")
    fi
  done
  local column title speed small theirs
  printf '\n%s (%s)\n' "$name" "$profile"
  for column in 1 2; do
    title="instructions per pixel"
    if [[ $column == 2 ]]; then
      title="estimated cycles per pixel"
      [[ $(cut -d ' ' -f 2 <<< "${peer_pp[qoi]:-${peer_pp[jpeg]}}") == - ]] && continue
    fi
    printf '  %-34s %8s %8s %8s %10s %10s\n' "$title" speed small peer speed/peer small/peer
    for case_name in "${measured_cases[@]}"; do
      speed=$(cut -d ' ' -f "$column" <<< "${ours_pp[$case_name.speed]}")
      small=$(cut -d ' ' -f "$column" <<< "${ours_pp[$case_name.small]}")
      theirs=$(cut -d ' ' -f "$column" <<< "${peer_pp[${case_peer[$case_name]}]}")
      printf '  %-34s %8s %8s %8s %10s %10s\n' \
        "${case_label[$case_name]} / ${peer_label[${case_peer[$case_name]}]}" "$speed" "$small" \
        "$theirs" "$(ratio "$speed" "$theirs")" "$(ratio "$small" "$theirs")"
    done
  done
}

# Geometric means over the 176 x 144 pictures, the goals' verdicts, and the
# estimated milliseconds for a 320 x 240 picture at a typical clock.
cortex_m_print_means() { # profile
  local profile=$1 case_name policy goal clock_mhz=""
  case $profile in
    cortex-m0plus) clock_mhz=125 ;;
    cortex-m4) clock_mhz=168 ;;
  esac
  printf '\nGeometric means over the 176 x 144 pictures (%s)\n' "$profile"
  if ((${#cortex_m_results[@]} == 0)); then
    echo "  none measured (no 176 x 144 picture in the selected sizes)"
    return
  fi
  printf '  %-34s %6s %7s %7s %6s %7s %7s %6s  %s\n' "per pixel" policy instr peer ratio \
    cycles peer ratio "goal (instructions)"
  for case_name in "${measured_cases[@]}"; do
    for policy in speed small; do
      goal=$(cortex_m_goal "$profile" "$policy" "$case_name")
      printf '%s\n' "${cortex_m_results[@]}" | awk -v c="$case_name" -v policy="$policy" \
        -v label="${case_label[$case_name]} / ${peer_label[${case_peer[$case_name]}]}" \
        -v goal="$goal" -v mhz="$clock_mhz" '
        function mean(sum) { return exp(sum / n) }
        $1 == c {
          o = policy == "speed" ? 2 : 4
          ours += log($o); peer += log($6); n++
          if ($(o + 1) != "-") { ours_c += log($(o + 1)); peer_c += log($7) } else { no_cycles = 1 }
        }
        END {
          ratio = mean(ours) / mean(peer)
          verdict = goal == "" ? "" : sprintf("<= %s: %s", goal, ratio <= goal ? "met" : "not met")
          cycles = no_cycles ? sprintf("%7s %7s %6s", "-", "-", "-") : \
            sprintf("%7.2f %7.2f %6.3f", mean(ours_c), mean(peer_c), mean(ours_c) / mean(peer_c))
          printf "  %-34s %6s %7.2f %7.2f %6.3f %s  %s\n", label, policy, mean(ours), mean(peer),
            ratio, cycles, verdict
          if (!no_cycles && mhz != "")
            printf "  %-34s %6s estimated for 320 x 240 at %d MHz: %.1f ms, the peer %.1f ms\n", "",
              "", mhz, mean(ours_c) * 76800 / (mhz * 1000), mean(peer_c) * 76800 / (mhz * 1000)
        }'
    done
  done
  local code_goal=""
  if [[ $profile == cortex-m0plus ]]; then
    code_goal="; the small policy's goal <= 12288: $( ((cortex_m_code[small] <= 12288)) && echo met || echo not met)"
  fi
  echo "  library code: speed ${cortex_m_code[speed]} bytes, small ${cortex_m_code[small]} bytes$code_goal"
}

cortex_m_profile() { # profile
  local profile=$1 png name size first=""
  local -A cortex_m_code=()
  cortex_m_flags=()
  cortex_m_build "$profile"
  echo
  cortex_m_report_build "$profile"
  cortex_m_results=()
  for png in "${pictures[@]}"; do
    name=$(basename "$png" .png)
    size=${name##*-}
    if [[ -z $first ]]; then
      first=$name
      cortex_m_check_counter "$profile" "$top/build-arm/$profile/driver-speed.elf" qoi "$work/$name.qoi"
    fi
    cortex_m_measure_picture "$profile" "$name" $((${size%x*} * ${size#*x}))
  done
  cortex_m_print_means "$profile"
}
