#!/usr/bin/env python3
# Writes the seed corpus of the fuzz targets: notes files and configuration files as they
# come from Windows and from this program, in every encoding, with the malformed endings
# the program must keep. Each seed is: edit byte, pick byte, text length, text, file. (The
# corpus also keeps inputs the fuzzer found, under names that say what they hold.)
import os

here = os.path.dirname(os.path.abspath(__file__))

def seed(edit, pick, text, file):
    t = text.encode('utf-8')
    return bytes([edit, pick, len(t)]) + t + file

gbk = lambda s: s.encode('gb18030')
u8 = lambda s: s.encode('utf-8')
u16le = lambda s: b'\xff\xfe' + s.encode('utf-16-le')
u16be = lambda s: b'\xfe\xff' + s.encode('utf-16-be')
notes = '[fileinfo]\r\n说明.txt=中文注释\r\nsetup.exe=安装程序\r\nSETUP.EXE=另一个\r\na=b=c\r\n'
config = ('[positus]\r\nformtop=106\r\nformleft=197\r\n[sysinfo]\r\nmaintext=我的软件库\r\n'
          '[SystemConfig]\r\nFaceFontName=宋体\r\nFaceFontColor=-2147483640\r\nliststyle=0x2\r\n')

files = {
    'windows-gbk-notes': gbk(notes),
    'windows-gbk-config': gbk(config),
    'gbk-that-reads-as-utf8': gbk('[fileinfo]\r\nreadme.txt=猢茶阿\r\n'),
    'new-file': b'',
    'utf8-notes': u8('[fileinfo]\r\nCafé.txt=crème brûlée\r\n中.txt=x\r\n'),
    'utf8-bom-notes': b'\xef\xbb\xbf' + u8(notes),
    'utf8-two-boms': b'\xef\xbb\xbf\xef\xbb\xbf' + u8(notes),
    'utf16le-notes': u16le(notes),
    'utf16be-notes': u16be(notes),
    'utf16le-odd-byte': u16le(notes) + b'\x41',
    'gbk-cut-at-end': gbk('[fileinfo]\r\na.txt=中') + b'\xd6',
    'bare-cr-at-end': b'[fileinfo]\r\na.txt=x\r',
    'lf-only': gbk('[fileinfo]\nx.txt=一\n[other]\nk=v'),
    'not-gb18030': b'[fileinfo]\n\x81\x30.txt=\xff\x80\n\x84\x31\xa4\x37=\xfe\n',
    'long-value': gbk('[fileinfo]\r\nlong.txt=' + '长' * 1500 + '\r\n'),
    'marker-line': gbk(';文字编码 GB18030\r\n[fileinfo]\r\nreadme.txt=猢茶阿\r\n'),
    'sections-twice': gbk('[a]\r\nk=1\r\n[b]\r\nk=2\r\n[A]\r\nj=3\r\n\r\n  \r\n'),
    'cr-only-quoted': gbk('[fileinfo]\ra.txt="Best tool"\rb.txt = 中文注释\r;c.txt=x\r'),
    'hand-edited-config': gbk('[UserDefDir]\r\nmy lib = /home/u/soft/ \r\n;old=/gone/\r\n'
                              '[NoteWindow]\r\n\tfontname\t=\t宋体\r\n'),
    'quotes': b'[s]\r\nk="a"\r\nl=\'b\'\r\nm="lone\r\nn=""\r\no="\r\np = " x " \r\n',
    'mixed-line-ends': b'[s]\ra=1\rk=v\n\nz=1\r\n[t]\n\r\nx=" y "',
    'utf16le-cr-only': u16le('[fileinfo]\ra.txt="q"\r;b=1\r'),
}
edits = [(0, 1, '新的注释'), (1, 0, '猢茶阿'), (2, 1, ''), (3, 0, ''), (1, 3, 'crème')]
# The same edits on settings, whose values are read trimmed (edit byte + 4), with values that
# need quotes to read back.
trimmed = [(4, 1, ' 两头有空格 '), (5, 0, '"引号"'), (6, 1, ''), (7, 0, '')]
trimmed_files = ['windows-gbk-config', 'hand-edited-config', 'quotes', 'mixed-line-ends']

for target in ('ini_document', 'text_codec'):
    folder = os.path.join(here, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    for name, file in files.items():
        for i, (edit, pick, text) in enumerate(edits if target == 'ini_document' else edits[:2]):
            with open(os.path.join(folder, f'{name}-{i}'), 'wb') as out:
                out.write(seed(edit, pick, text, file))
        if target == 'ini_document' and name in trimmed_files:
            for i, (edit, pick, text) in enumerate(trimmed):
                with open(os.path.join(folder, f'{name}-trimmed-{i}'), 'wb') as out:
                    out.write(seed(edit, pick, text, file))
