#!/usr/bin/env python3
# Writes the seed corpus of the fuzz targets: notes files and configuration files as they
# come from Windows and from this program, in every encoding, with the malformed endings
# the program must keep (each seed: edit byte, pick byte, text length, text, file); lists of
# dropped files as file managers give them; mount tables as the kernel writes them. (The
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

uri_lists = {
    'two-files-crlf': b'file:///home/user/a.txt\r\nfile:///home/user/%E4%B8%AD%E6%96%87.txt\r\n',
    'folder-with-slash-lf': b'file:///home/user/Downloads/\nfile:///tmp/x%20y\n',
    'localhost-and-comment': b'# from a file manager\r\nfile://localhost/srv/data.bin\r\n',
    'foreign-host-and-scheme': b'file://server/share/a\r\nhttp://example.invalid/b\r\nfile:/c\r\n',
    'gbk-name-bytes': b'file:///home/user/%D6%D0%CE%C4.txt\r\n',
    'upper-case-scheme': b'FILE:///ROOT/%2F%2F\r\n\r\nfile:///\r\n',
}
mount_tables = {
    'debian-desktop': (
        b'22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n'
        b'23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n'
        b'40 22 0:35 / /tmp rw,nosuid,nodev shared:20 - tmpfs tmpfs rw,size=8G\n'
        b'61 22 11:0 / /media/user/My\\040Disc ro,nosuid,nodev,relatime shared:30 - iso9660 '
        b'/dev/sr0 ro,nojoliet,check=s,map=n,blocksize=2048\n'
        b'62 22 8:17 / /media/user/USB\\134STICK rw,relatime shared:31 - vfat /dev/sdb1 rw\n'
        b'70 22 0:50 / /mnt/share rw,relatime shared:40 - cifs //server/share rw,vers=3.0\n'),
    'bind-and-unbindable': (
        b'30 22 8:2 /var/lib/x /srv/x rw,relatime unbindable - ext4 /dev/sda2 ro\n'
        b'31 22 0:44 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:5 master:1 - '
        b'fuse.gvfsd-fuse gvfsd-fuse rw,user_id=1000\n'),
    'cut-short': b'22 1 8:2 / / rw,relatime - ext4\n23 22 0:21 / /p rw -\n24 22',
}
# Notes as the HTML export meets them: formatting users write, and what other people's
# collections and files' comments may bring.
notes_for_page = {
    'formatting': u8('<b>粗</b><I>斜</I><u>线</u>一<br>二<BR/><font color=#FF0000>红</font>'),
    'links': u8('<a href="http://x/?a=1&amp;b=2">网</a><a href=\'mailto:a@b\'>信</a>'
                '<a href=ftp://x/f>f</a>'),
    'hostile': u8('<script>x()</script><img src=x onerror=y()><a href="&#106;avascript:z">'
                  '</td></tr><!-- c --><a href=" data:text/html,q">'),
    'unbalanced': u8('<b><i>x</b>y</i></font><a href="https://a"><a href="https://b">q'),
    'references': u8('&amp;&lt;&#60;&#x3C;&#0;&nbsp;&copy;&#1114112;&'),
}
for target, seeds in (('uri_list', uri_lists), ('mount_info', mount_tables),
                      ('note_sanitizer', notes_for_page)):
    folder = os.path.join(here, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    for name, content in seeds.items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(content)
