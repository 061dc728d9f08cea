// The header's static_asserts pin the layout at compile time; these checks make sure the C
// view agrees with the C++ one and that the codes hosts compare against are right.
#include "vst2/abi/vst2_abi.h"

#include <gtest/gtest.h>

extern "C" int vst2_abi_record_size_from_c(void);
extern "C" int vst2_abi_time_info_size_from_c(void);

TEST(Vst2Abi, CAndCppAgreeOnRecordSizes)
{
    EXPECT_EQ(vst2_abi_record_size_from_c(), static_cast<int>(sizeof(vst2_effect)));
    EXPECT_EQ(vst2_abi_time_info_size_from_c(), static_cast<int>(sizeof(vst2_time_info)));
}

TEST(Vst2Abi, FourCharacterCodesPackFirstCharacterHigh)
{
    EXPECT_EQ(VST2_FOURCC('V', 's', 't', 'P'), VST2_MAGIC);
    EXPECT_EQ(VST2_FOURCC('N', 'v', 'E', 'f'), VST2_IDENTIFY);
    EXPECT_EQ(VST2_FOURCC('V', 'd', 'g', 'x'), 0x56646778);
}
