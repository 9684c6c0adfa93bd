# The two commands of the README. Both install what they need first.
BUILD ?= build

.PHONY: demo test build clean
demo:
	bash scripts/demo.sh $(BUILD)
test:
	bash scripts/test.sh $(BUILD)
build:
	bash scripts/build.sh $(BUILD)
clean:
	rm -rf $(BUILD)
