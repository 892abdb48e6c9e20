/* How the shipped program is laid out: three sections, where ld's own
   layout makes five. Each section takes whole 512-byte blocks of the file,
   and the headers of five sections no longer fit in the first block; three
   fit, and the blocks are spent on code and data rather than padding.
   File alignment 512 and section alignment 4,096 are ld's defaults for
   PE32, the ones Windows 95's loader needs. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);

  /* Code only, read and executed. Without ld's constructor and destructor
     lists: the program's own entry runs no constructors, and any object
     that brought some would show as a fourth section, which the release
     check refuses. */
  .text __image_base__ + __section_alignment__ :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
  }

  /* The imports, then the read-only and the writable data: read and
     written, never executed. The section keeps the name .idata, since ld
     fills the import directory only from a section of that name. The
     symbols named after the import parts are what ld reads to make the
     import directory name the import descriptors alone (.idata$2 to the
     end of their terminator) and the import address table name .idata$5;
     as relative addresses, since that is what the directories hold. */
  .idata BLOCK(__section_alignment__) :
  {
    ".idata$2" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    /* The descriptor that ends the list. */
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$4))
    ".idata$5" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
    *(.rdata)
    *(SORT(.rdata$*))
    *(.data)
    *(SORT(.data$*))
    *(.bss)
    *(COMMON)
  }

  /* The icon and the version, apart: ld fills the resource directory only
     from a section named .rsrc. */
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP (*(.rsrc))
    KEEP (*(.rsrc$*))
  }

  /DISCARD/ :
  {
    *(.drectve)
    *(.note.GNU-stack)
  }
}
