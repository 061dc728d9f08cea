/* The binary interface header must also compile as plain C, with the same layout. */
#include "vst2/abi/vst2_abi.h"

int vst2_abi_record_size_from_c(void)
{
    return (int)sizeof(vst2_effect);
}
int vst2_abi_time_info_size_from_c(void)
{
    return (int)sizeof(vst2_time_info);
}
