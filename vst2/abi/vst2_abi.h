/*
 * VST 2.4 binary interface, declared by us for x86_64 (LP64 Linux and LLP64 Windows).
 *
 * Plain C so that both sides of the boundary (our module and our host) and a C compile
 * test share one declaration. Every int32 field is int32_t and every pointer-sized one
 * intptr_t: C `long` differs between the two targets and must never appear here.
 * Natural alignment throughout; the layout assertions at the end pin every size and offset.
 */
#ifndef VERDIGRIX_VST2_ABI_H
#define VERDIGRIX_VST2_ABI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define VST2_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C"
{
#else
#define VST2_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* Four-character code, first character in the most significant byte. */
#define VST2_FOURCC(a, b, c, d)                                                                    \
    ((int32_t)(((uint32_t)(unsigned char)(a) << 24) | ((uint32_t)(unsigned char)(b) << 16) |       \
               ((uint32_t)(unsigned char)(c) << 8) | (uint32_t)(unsigned char)(d)))

    enum
    {
        VST2_MAGIC = 0x56737450,    /* 'VstP' */
        VST2_IDENTIFY = 0x4E764566, /* 'NvEf', the answer to effIdentify */
        VST2_VERSION = 2400
    };

    struct vst2_effect;

    /* Host→plug-in opcode entry and the host callback share one shape. `opt` is float. */
    typedef intptr_t (*vst2_dispatcher_proc)(struct vst2_effect* effect, int32_t opcode,
                                             int32_t index, intptr_t value, void* ptr, float opt);
    typedef vst2_dispatcher_proc vst2_host_callback;
    typedef void (*vst2_process_proc)(struct vst2_effect* effect, float** inputs, float** outputs,
                                      int32_t frames);
    typedef void (*vst2_process_double_proc)(struct vst2_effect* effect, double** inputs,
                                             double** outputs, int32_t frames);
    typedef void (*vst2_set_parameter_proc)(struct vst2_effect* effect, int32_t index, float value);
    typedef float (*vst2_get_parameter_proc)(struct vst2_effect* effect, int32_t index);
    typedef struct vst2_effect* (*vst2_entry_proc)(vst2_host_callback host);

    /* The effect record (AEffect): owned by the plug-in, fixed address until effClose returns. */
    typedef struct vst2_effect
    {
        int32_t magic;
        vst2_dispatcher_proc dispatcher;
        vst2_process_proc process; /* accumulating, legacy */
        vst2_set_parameter_proc set_parameter;
        vst2_get_parameter_proc get_parameter;
        int32_t num_programs;
        int32_t num_params;
        int32_t num_inputs;
        int32_t num_outputs;
        int32_t flags;
        intptr_t resvd1; /* host-owned */
        intptr_t resvd2; /* host-owned */
        int32_t initial_delay;
        int32_t real_qualities;
        int32_t off_qualities;
        float io_ratio;
        void* object;
        void* user;
        int32_t unique_id;
        int32_t version;
        vst2_process_proc process_replacing;
        vst2_process_double_proc process_double_replacing;
        char future[56];
    } vst2_effect;

    /* vst2_effect.flags */
    enum
    {
        VST2_FLAG_HAS_EDITOR = 0x0001,
        VST2_FLAG_HAS_CLIP = 0x0002,
        VST2_FLAG_HAS_VU = 0x0004,
        VST2_FLAG_CAN_MONO = 0x0008,
        VST2_FLAG_CAN_REPLACING = 0x0010,
        VST2_FLAG_PROGRAM_CHUNKS = 0x0020,
        VST2_FLAG_IS_SYNTH = 0x0100,
        VST2_FLAG_NO_SOUND_IN_STOP = 0x0200,
        VST2_FLAG_EXT_IS_ASYNC = 0x0400,
        VST2_FLAG_EXT_HAS_BUFFER = 0x0800,
        VST2_FLAG_CAN_DOUBLE_REPLACING = 0x1000
    };

    /* Host callback opcodes (audioMaster…). */
    enum
    {
        VST2_HOST_AUTOMATE = 0,
        VST2_HOST_VERSION = 1,
        VST2_HOST_CURRENT_ID = 2,
        VST2_HOST_IDLE = 3,
        VST2_HOST_PIN_CONNECTED = 4,
        VST2_HOST_WANT_MIDI = 6,
        VST2_HOST_GET_TIME = 7,
        VST2_HOST_PROCESS_EVENTS = 8,
        VST2_HOST_SET_TIME = 9,
        VST2_HOST_TEMPO_AT = 10,
        VST2_HOST_GET_NUM_AUTOMATABLE_PARAMETERS = 11,
        VST2_HOST_GET_PARAMETER_QUANTIZATION = 12,
        VST2_HOST_IO_CHANGED = 13,
        VST2_HOST_NEED_IDLE = 14,
        VST2_HOST_SIZE_WINDOW = 15,
        VST2_HOST_GET_SAMPLE_RATE = 16,
        VST2_HOST_GET_BLOCK_SIZE = 17,
        VST2_HOST_GET_INPUT_LATENCY = 18,
        VST2_HOST_GET_OUTPUT_LATENCY = 19,
        VST2_HOST_GET_PREVIOUS_PLUG = 20,
        VST2_HOST_GET_NEXT_PLUG = 21,
        VST2_HOST_WILL_REPLACE_OR_ACCUMULATE = 22,
        VST2_HOST_GET_CURRENT_PROCESS_LEVEL = 23,
        VST2_HOST_GET_AUTOMATION_STATE = 24,
        VST2_HOST_OFFLINE_START = 25,
        VST2_HOST_OFFLINE_READ = 26,
        VST2_HOST_OFFLINE_WRITE = 27,
        VST2_HOST_OFFLINE_GET_CURRENT_PASS = 28,
        VST2_HOST_OFFLINE_GET_CURRENT_META_PASS = 29,
        VST2_HOST_SET_OUTPUT_SAMPLE_RATE = 30,
        VST2_HOST_GET_OUTPUT_SPEAKER_ARRANGEMENT = 31,
        VST2_HOST_GET_VENDOR_STRING = 32,
        VST2_HOST_GET_PRODUCT_STRING = 33,
        VST2_HOST_GET_VENDOR_VERSION = 34,
        VST2_HOST_VENDOR_SPECIFIC = 35,
        VST2_HOST_SET_ICON = 36,
        VST2_HOST_CAN_DO = 37,
        VST2_HOST_GET_LANGUAGE = 38,
        VST2_HOST_OPEN_WINDOW = 39,
        VST2_HOST_CLOSE_WINDOW = 40,
        VST2_HOST_GET_DIRECTORY = 41,
        VST2_HOST_UPDATE_DISPLAY = 42,
        VST2_HOST_BEGIN_EDIT = 43,
        VST2_HOST_END_EDIT = 44,
        VST2_HOST_OPEN_FILE_SELECTOR = 45,
        VST2_HOST_CLOSE_FILE_SELECTOR = 46,
        VST2_HOST_EDIT_FILE = 47,
        VST2_HOST_GET_CHUNK_FILE = 48,
        VST2_HOST_GET_INPUT_SPEAKER_ARRANGEMENT = 49
    };

    /* Dispatcher opcodes (eff…). */
    enum
    {
        VST2_EFF_OPEN = 0,
        VST2_EFF_CLOSE = 1,
        VST2_EFF_SET_PROGRAM = 2,
        VST2_EFF_GET_PROGRAM = 3,
        VST2_EFF_SET_PROGRAM_NAME = 4,
        VST2_EFF_GET_PROGRAM_NAME = 5,
        VST2_EFF_GET_PARAM_LABEL = 6,
        VST2_EFF_GET_PARAM_DISPLAY = 7,
        VST2_EFF_GET_PARAM_NAME = 8,
        VST2_EFF_GET_VU = 9,
        VST2_EFF_SET_SAMPLE_RATE = 10,
        VST2_EFF_SET_BLOCK_SIZE = 11,
        VST2_EFF_MAINS_CHANGED = 12,
        VST2_EFF_EDIT_GET_RECT = 13,
        VST2_EFF_EDIT_OPEN = 14,
        VST2_EFF_EDIT_CLOSE = 15,
        VST2_EFF_EDIT_DRAW = 16,
        VST2_EFF_EDIT_MOUSE = 17,
        VST2_EFF_EDIT_KEY = 18,
        VST2_EFF_EDIT_IDLE = 19,
        VST2_EFF_EDIT_TOP = 20,
        VST2_EFF_EDIT_SLEEP = 21,
        VST2_EFF_IDENTIFY = 22,
        VST2_EFF_GET_CHUNK = 23,
        VST2_EFF_SET_CHUNK = 24,
        VST2_EFF_PROCESS_EVENTS = 25,
        VST2_EFF_CAN_BE_AUTOMATED = 26,
        VST2_EFF_STRING_TO_PARAMETER = 27,
        VST2_EFF_GET_NUM_PROGRAM_CATEGORIES = 28,
        VST2_EFF_GET_PROGRAM_NAME_INDEXED = 29,
        VST2_EFF_COPY_PROGRAM = 30,
        VST2_EFF_CONNECT_INPUT = 31,
        VST2_EFF_CONNECT_OUTPUT = 32,
        VST2_EFF_GET_INPUT_PROPERTIES = 33,
        VST2_EFF_GET_OUTPUT_PROPERTIES = 34,
        VST2_EFF_GET_PLUG_CATEGORY = 35,
        VST2_EFF_GET_CURRENT_POSITION = 36,
        VST2_EFF_GET_DESTINATION_BUFFER = 37,
        VST2_EFF_OFFLINE_NOTIFY = 38,
        VST2_EFF_OFFLINE_PREPARE = 39,
        VST2_EFF_OFFLINE_RUN = 40,
        VST2_EFF_PROCESS_VAR_IO = 41,
        VST2_EFF_SET_SPEAKER_ARRANGEMENT = 42,
        VST2_EFF_SET_BLOCK_SIZE_AND_SAMPLE_RATE = 43,
        VST2_EFF_SET_BYPASS = 44,
        VST2_EFF_GET_EFFECT_NAME = 45,
        VST2_EFF_GET_ERROR_TEXT = 46,
        VST2_EFF_GET_VENDOR_STRING = 47,
        VST2_EFF_GET_PRODUCT_STRING = 48,
        VST2_EFF_GET_VENDOR_VERSION = 49,
        VST2_EFF_VENDOR_SPECIFIC = 50,
        VST2_EFF_CAN_DO = 51,
        VST2_EFF_GET_TAIL_SIZE = 52,
        VST2_EFF_IDLE = 53,
        VST2_EFF_GET_ICON = 54,
        VST2_EFF_SET_VIEW_POSITION = 55,
        VST2_EFF_GET_PARAMETER_PROPERTIES = 56,
        VST2_EFF_KEYS_REQUIRED = 57,
        VST2_EFF_GET_VST_VERSION = 58,
        VST2_EFF_EDIT_KEY_DOWN = 59,
        VST2_EFF_EDIT_KEY_UP = 60,
        VST2_EFF_SET_EDIT_KNOB_MODE = 61,
        VST2_EFF_GET_MIDI_PROGRAM_NAME = 62,
        VST2_EFF_GET_CURRENT_MIDI_PROGRAM = 63,
        VST2_EFF_GET_MIDI_PROGRAM_CATEGORY = 64,
        VST2_EFF_HAS_MIDI_PROGRAMS_CHANGED = 65,
        VST2_EFF_GET_MIDI_KEY_NAME = 66,
        VST2_EFF_BEGIN_SET_PROGRAM = 67,
        VST2_EFF_END_SET_PROGRAM = 68,
        VST2_EFF_GET_SPEAKER_ARRANGEMENT = 69,
        VST2_EFF_SHELL_GET_NEXT_PLUGIN = 70,
        VST2_EFF_START_PROCESS = 71,
        VST2_EFF_STOP_PROCESS = 72,
        VST2_EFF_SET_TOTAL_SAMPLE_TO_PROCESS = 73,
        VST2_EFF_SET_PAN_LAW = 74,
        VST2_EFF_BEGIN_LOAD_BANK = 75,
        VST2_EFF_BEGIN_LOAD_PROGRAM = 76,
        VST2_EFF_SET_PROCESS_PRECISION = 77,
        VST2_EFF_GET_NUM_MIDI_INPUT_CHANNELS = 78,
        VST2_EFF_GET_NUM_MIDI_OUTPUT_CHANNELS = 79
    };

    /* Nominal text limits, and the lengths that fit every surveyed host's buffers
     * (characters without the terminator). */
    enum
    {
        VST2_MAX_PARAM_STR_LEN = 8,
        VST2_MAX_PROG_NAME_LEN = 24,
        VST2_MAX_EFFECT_NAME_LEN = 32,
        VST2_MAX_VENDOR_STR_LEN = 64,
        VST2_MAX_PRODUCT_STR_LEN = 64,
        VST2_MAX_LABEL_LEN = 64,
        VST2_MAX_SHORT_LABEL_LEN = 8,
        VST2_SAFE_PROGRAM_NAME_CHARS = 23,
        VST2_SAFE_EFFECT_NAME_CHARS = 31,
        VST2_SAFE_VENDOR_CHARS = 63,
        VST2_SAFE_PARAM_TEXT_CHARS = 63
    };

    /* Plug-in categories (effGetPlugCategory). */
    enum
    {
        VST2_CATEGORY_UNKNOWN = 0,
        VST2_CATEGORY_EFFECT = 1,
        VST2_CATEGORY_SYNTH = 2
    };

    /* Process precision (effSetProcessPrecision). */
    enum
    {
        VST2_PRECISION_32 = 0,
        VST2_PRECISION_64 = 1
    };

    /* Editor rectangle. */
    typedef struct vst2_erect
    {
        int16_t top;
        int16_t left;
        int16_t bottom;
        int16_t right;
    } vst2_erect;

    /* Events. */
    enum
    {
        VST2_EVENT_MIDI = 1,
        VST2_EVENT_SYSEX = 6
    };

    typedef struct vst2_event
    {
        int32_t type;
        int32_t byte_size;
        int32_t delta_frames;
        int32_t flags;
        char data[16];
    } vst2_event;

    typedef struct vst2_events
    {
        int32_t num_events;
        intptr_t reserved;
        vst2_event* events[2]; /* really num_events entries */
    } vst2_events;

    typedef struct vst2_midi_event
    {
        int32_t type;
        int32_t byte_size;
        int32_t delta_frames;
        int32_t flags;
        int32_t note_length;
        int32_t note_offset;
        unsigned char midi_data[4];
        int8_t detune;
        uint8_t note_off_velocity;
        uint8_t reserved1;
        uint8_t reserved2;
    } vst2_midi_event;

    typedef struct vst2_midi_sysex_event
    {
        int32_t type;
        int32_t byte_size;
        int32_t delta_frames;
        int32_t flags;
        int32_t dump_bytes;
        intptr_t resvd1;
        char* sysex_dump;
        intptr_t resvd2;
    } vst2_midi_sysex_event;

    /* Host transport state (audioMasterGetTime); only 88 bytes may be read. */
    typedef struct vst2_time_info
    {
        double sample_pos;
        double sample_rate;
        double nano_seconds;
        double ppq_pos;
        double tempo;
        double bar_start_pos;
        double cycle_start_pos;
        double cycle_end_pos;
        int32_t time_sig_numerator;
        int32_t time_sig_denominator;
        int32_t smpte_offset;
        int32_t smpte_frame_rate;
        int32_t samples_to_next_clock;
        int32_t flags;
    } vst2_time_info;

    /* Pin properties (effGetInput/OutputProperties). */
    enum
    {
        VST2_PIN_IS_ACTIVE = 1,
        VST2_PIN_IS_STEREO = 2,
        VST2_PIN_USE_SPEAKER = 4
    };

    typedef struct vst2_pin_properties
    {
        char label[64];
        int32_t flags;
        int32_t arrangement_type;
        char short_label[8];
        char future[48];
    } vst2_pin_properties;

    /* Speaker arrangements (effSet/GetSpeakerArrangement). */
    enum
    {
        VST2_SPEAKER_ARR_USER_DEFINED = -2,
        VST2_SPEAKER_ARR_EMPTY = -1,
        VST2_SPEAKER_ARR_MONO = 0,
        VST2_SPEAKER_ARR_STEREO = 1
    };

    typedef struct vst2_speaker_properties
    {
        float azimuth;
        float elevation;
        float radius;
        float reserved;
        char name[64];
        int32_t type;
        char future[28];
    } vst2_speaker_properties;

    typedef struct vst2_speaker_arrangement
    {
        int32_t type;
        int32_t num_channels;
        vst2_speaker_properties speakers[8]; /* hosts may pass num_channels entries */
    } vst2_speaker_arrangement;

    /* Parameter property flags (effGetParameterProperties). */
    enum
    {
        VST2_PARAM_IS_SWITCH = 1,
        VST2_PARAM_USES_INTEGER_MIN_MAX = 2,
        VST2_PARAM_USES_FLOAT_STEP = 4,
        VST2_PARAM_USES_INT_STEP = 8
    };

    typedef struct vst2_parameter_properties
    {
        float step_float;
        float small_step_float;
        float large_step_float;
        char label[64];
        int32_t flags;
        int32_t min_integer;
        int32_t max_integer;
        int32_t step_integer;
        int32_t large_step_integer;
        char short_label[8];
        int16_t display_index;
        int16_t category;
        int16_t num_parameters_in_category;
        int16_t reserved;
        char category_label[24];
        char future[16];
    } vst2_parameter_properties;

    typedef struct vst2_midi_key_name
    {
        int32_t this_program_index;
        int32_t this_key_number;
        char key_name[64];
        int32_t reserved;
        int32_t flags;
    } vst2_midi_key_name;

    typedef struct vst2_midi_program_name
    {
        int32_t this_program_index;
        char name[64];
        int8_t midi_program;
        int8_t midi_bank_msb;
        int8_t midi_bank_lsb;
        int8_t reserved;
        int32_t parent_category_index;
        int32_t flags;
    } vst2_midi_program_name;

    typedef struct vst2_midi_program_category
    {
        int32_t this_category_index;
        char name[64];
        int32_t parent_category_index;
        int32_t flags;
    } vst2_midi_program_category;

    typedef struct vst2_patch_chunk_info
    {
        int32_t version;
        int32_t plugin_unique_id;
        int32_t plugin_version;
        int32_t num_elements;
        char future[48];
    } vst2_patch_chunk_info;

    /* ---- layout: every size and offset of the fact sheet ---- */
    VST2_STATIC_ASSERT(sizeof(vst2_effect) == 192, "vst2_effect size");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, magic) == 0, "magic");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, dispatcher) == 8, "dispatcher");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, process) == 16, "process");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, set_parameter) == 24, "set_parameter");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, get_parameter) == 32, "get_parameter");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, num_programs) == 40, "num_programs");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, num_params) == 44, "num_params");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, num_inputs) == 48, "num_inputs");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, num_outputs) == 52, "num_outputs");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, flags) == 56, "flags");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, resvd1) == 64, "resvd1");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, resvd2) == 72, "resvd2");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, initial_delay) == 80, "initial_delay");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, real_qualities) == 84, "real_qualities");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, off_qualities) == 88, "off_qualities");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, io_ratio) == 92, "io_ratio");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, object) == 96, "object");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, user) == 104, "user");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, unique_id) == 112, "unique_id");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, version) == 116, "version");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, process_replacing) == 120, "process_replacing");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, process_double_replacing) == 128, "double_replacing");
    VST2_STATIC_ASSERT(offsetof(vst2_effect, future) == 136, "future");

    VST2_STATIC_ASSERT(sizeof(vst2_erect) == 8, "vst2_erect size");
    VST2_STATIC_ASSERT(offsetof(vst2_erect, left) == 2, "erect left");
    VST2_STATIC_ASSERT(offsetof(vst2_erect, bottom) == 4, "erect bottom");
    VST2_STATIC_ASSERT(offsetof(vst2_erect, right) == 6, "erect right");

    VST2_STATIC_ASSERT(sizeof(vst2_event) == 32, "vst2_event size");
    VST2_STATIC_ASSERT(offsetof(vst2_event, byte_size) == 4, "event byte_size");
    VST2_STATIC_ASSERT(offsetof(vst2_event, delta_frames) == 8, "event delta_frames");
    VST2_STATIC_ASSERT(offsetof(vst2_event, flags) == 12, "event flags");

    VST2_STATIC_ASSERT(sizeof(vst2_events) == 32, "vst2_events size");
    VST2_STATIC_ASSERT(offsetof(vst2_events, reserved) == 8, "events reserved");
    VST2_STATIC_ASSERT(offsetof(vst2_events, events) == 16, "events array");

    VST2_STATIC_ASSERT(sizeof(vst2_midi_event) == 32, "vst2_midi_event size");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, note_length) == 16, "midi note_length");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, note_offset) == 20, "midi note_offset");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, midi_data) == 24, "midi data");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, detune) == 28, "midi detune");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, note_off_velocity) == 29,
                       "midi note_off_velocity");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, reserved1) == 30, "midi reserved1");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_event, reserved2) == 31, "midi reserved2");

    VST2_STATIC_ASSERT(sizeof(vst2_midi_sysex_event) == 48, "vst2_midi_sysex_event size");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_sysex_event, dump_bytes) == 16, "sysex dump_bytes");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_sysex_event, resvd1) == 24, "sysex resvd1");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_sysex_event, sysex_dump) == 32, "sysex dump");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_sysex_event, resvd2) == 40, "sysex resvd2");

    VST2_STATIC_ASSERT(sizeof(vst2_time_info) == 88, "vst2_time_info size");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, sample_rate) == 8, "time sample_rate");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, nano_seconds) == 16, "time nano_seconds");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, ppq_pos) == 24, "time ppq_pos");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, tempo) == 32, "time tempo");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, bar_start_pos) == 40, "time bar_start_pos");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, cycle_start_pos) == 48, "time cycle_start_pos");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, cycle_end_pos) == 56, "time cycle_end_pos");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, time_sig_numerator) == 64, "time sig numerator");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, time_sig_denominator) == 68,
                       "time sig denominator");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, smpte_offset) == 72, "time smpte_offset");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, smpte_frame_rate) == 76, "time smpte_frame_rate");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, samples_to_next_clock) == 80, "time clock");
    VST2_STATIC_ASSERT(offsetof(vst2_time_info, flags) == 84, "time flags");

    VST2_STATIC_ASSERT(sizeof(vst2_pin_properties) == 128, "vst2_pin_properties size");
    VST2_STATIC_ASSERT(offsetof(vst2_pin_properties, flags) == 64, "pin flags");
    VST2_STATIC_ASSERT(offsetof(vst2_pin_properties, arrangement_type) == 68, "pin arrangement");
    VST2_STATIC_ASSERT(offsetof(vst2_pin_properties, short_label) == 72, "pin short_label");
    VST2_STATIC_ASSERT(offsetof(vst2_pin_properties, future) == 80, "pin future");

    VST2_STATIC_ASSERT(sizeof(vst2_speaker_properties) == 112, "vst2_speaker_properties size");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, elevation) == 4, "speaker elevation");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, radius) == 8, "speaker radius");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, reserved) == 12, "speaker reserved");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, name) == 16, "speaker name");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, type) == 80, "speaker type");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_properties, future) == 84, "speaker future");
    VST2_STATIC_ASSERT(sizeof(vst2_speaker_arrangement) == 904, "vst2_speaker_arrangement size");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_arrangement, num_channels) == 4, "arrangement count");
    VST2_STATIC_ASSERT(offsetof(vst2_speaker_arrangement, speakers) == 8, "arrangement speakers");

    VST2_STATIC_ASSERT(sizeof(vst2_parameter_properties) == 152, "vst2_parameter_properties size");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, small_step_float) == 4, "pp small step");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, large_step_float) == 8, "pp large step");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, label) == 12, "pp label");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, flags) == 76, "pp flags");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, min_integer) == 80, "pp min");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, max_integer) == 84, "pp max");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, step_integer) == 88, "pp step");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, large_step_integer) == 92, "pp large");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, short_label) == 96, "pp short label");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, display_index) == 104, "pp display");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, category) == 106, "pp category");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, num_parameters_in_category) == 108,
                       "pp n");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, reserved) == 110, "pp reserved");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, category_label) == 112, "pp cat label");
    VST2_STATIC_ASSERT(offsetof(vst2_parameter_properties, future) == 136, "pp future");

    VST2_STATIC_ASSERT(sizeof(vst2_midi_key_name) == 80, "vst2_midi_key_name size");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_key_name, this_key_number) == 4, "key number");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_key_name, key_name) == 8, "key name");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_key_name, reserved) == 72, "key reserved");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_key_name, flags) == 76, "key flags");

    VST2_STATIC_ASSERT(sizeof(vst2_midi_program_name) == 80, "vst2_midi_program_name size");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, name) == 4, "mpn name");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, midi_program) == 68, "mpn program");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, midi_bank_msb) == 69, "mpn msb");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, midi_bank_lsb) == 70, "mpn lsb");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, reserved) == 71, "mpn reserved");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, parent_category_index) == 72, "mpn parent");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_name, flags) == 76, "mpn flags");

    VST2_STATIC_ASSERT(sizeof(vst2_midi_program_category) == 76, "vst2_midi_program_category size");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_category, name) == 4, "mpc name");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_category, parent_category_index) == 68,
                       "mpc par");
    VST2_STATIC_ASSERT(offsetof(vst2_midi_program_category, flags) == 72, "mpc flags");

    VST2_STATIC_ASSERT(sizeof(vst2_patch_chunk_info) == 64, "vst2_patch_chunk_info size");
    VST2_STATIC_ASSERT(offsetof(vst2_patch_chunk_info, plugin_unique_id) == 4, "pci id");
    VST2_STATIC_ASSERT(offsetof(vst2_patch_chunk_info, plugin_version) == 8, "pci version");
    VST2_STATIC_ASSERT(offsetof(vst2_patch_chunk_info, num_elements) == 12, "pci elements");
    VST2_STATIC_ASSERT(offsetof(vst2_patch_chunk_info, future) == 16, "pci future");

    VST2_STATIC_ASSERT(sizeof(intptr_t) == 8 && sizeof(void*) == 8, "64-bit targets only");

#ifdef __cplusplus
}
#endif

#endif /* VERDIGRIX_VST2_ABI_H */
