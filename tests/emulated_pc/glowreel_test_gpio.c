// A GPIO chip of 16 lines that only remembers their levels: gpiolib's gpio_value trace events
// record every change. For the emulated PC's tests only.
#include <linux/gpio/driver.h>
#include <linux/module.h>

static unsigned long levels;

static int get(struct gpio_chip *chip, unsigned int offset) { return test_bit(offset, &levels); }
static void set(struct gpio_chip *chip, unsigned int offset, int value) { assign_bit(offset, &levels, value); }
static void set_multiple(struct gpio_chip *chip, unsigned long *mask, unsigned long *bits)
{
	levels = (levels & ~*mask) | (*bits & *mask);
}
static int direction_output(struct gpio_chip *chip, unsigned int offset, int value)
{
	set(chip, offset, value);
	return 0;
}
static int get_direction(struct gpio_chip *chip, unsigned int offset) { return GPIO_LINE_DIRECTION_OUT; }

static struct gpio_chip chip = {
	.label = "glowreel-test",
	.owner = THIS_MODULE,
	.base = -1,
	.ngpio = 16,
	.get = get,
	.set = set,
	.set_multiple = set_multiple,
	.direction_output = direction_output,
	.get_direction = get_direction,
};

static int __init start(void) { return gpiochip_add_data(&chip, NULL); }
static void __exit stop(void) { gpiochip_remove(&chip); }
module_init(start);
module_exit(stop);
MODULE_LICENSE("GPL");
