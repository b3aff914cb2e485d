// The amplifier maker's USB vendor id and the product ids of the two device models.
// One definition shared by the device library, its callers, the virtual amplifier and the udev rule.
#ifndef QUARRY_VENDOR_ID_H
#define QUARRY_VENDOR_ID_H

#define QUARRY_MAKER_VENDOR_ID 0x2F5Au
#define QUARRY_PRODUCT_ID_A210 0xA210u
#define QUARRY_PRODUCT_ID_A200 0xA200u

#endif
