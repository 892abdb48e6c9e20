# Where the Wine environment lives and what makes it ready; read by
# tools/install-deps, which makes it, and tools/in-env, which enters it.
VARNEL_ENV=${VARNEL_ENV:-/var/cache/varnel/wine-env}
VARNEL_ENV_STAMP=.varnel-ready
# Changed whenever the recipe changes, so that an older root is made again.
VARNEL_ENV_RECIPE="Debian 13 minbase; wine64 wine32:i386 qemu-user xvfb xauth xdotool imagemagick python3; stripped; own 32-bit loader; i386 probe; 4"
# In the root: a static 32-bit program that only exits. Where it runs, the
# kernel runs 32-bit programs (Wine's 32-bit half) itself.
VARNEL_I386_PROBE=/usr/lib/wine/i386-probe
# Where the kernel runs no 32-bit programs, binfmt_misc starts them under
# the root's qemu-i386: tools/in-env registers it in a binfmt_misc of its own
# sandbox; only for a kernel too old for that (before Linux 6.7) does
# tools/install-deps make this entry for the whole machine.
VARNEL_BINFMT=/proc/sys/fs/binfmt_misc/varnel-i386

# The registration: 32-bit x86 ELF executables and shared objects. F: the
# kernel opens the emulator as it is registered, so that it serves inside
# the sandbox too, where the root is mounted elsewhere.
varnel_binfmt_rule() {
    printf '%s' ":${VARNEL_BINFMT##*/}:M::"'\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$VARNEL_ENV/usr/bin/qemu-i386:F"
}
