"""What other programs and the user see of Varnel, read for the Python tests
and tools from tests/contract/contract.h, where it is written once: numbers,
strings, RGB colours and rectangles by name, e.g. CONTRACT['CMD_REC_START']."""
import os
import re

_NUMBER = r'(0x[0-9A-Fa-f]+|\d+)'


def _read(path):
    values = {}
    for name, value in re.findall(r'^const [\w ]+? (\w+)(?:\[\])? = (.+?);', open(path).read(), re.M):
        if value.startswith('"'):
            values[name] = re.sub(r'\\(.)', r'\1', value[1:-1])
        elif value.startswith('RGB('):
            values[name] = tuple(int(n) for n in re.findall(r'\d+', value))
        elif value.startswith('{'):
            numbers = re.findall(_NUMBER, value)
            if len(numbers) == 4 and '"' not in value:
                values[name] = tuple(int(n, 0) for n in numbers)
        else:
            values[name] = int(value.split()[0], 0)
    return values


CONTRACT = _read(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'contract.h'))
